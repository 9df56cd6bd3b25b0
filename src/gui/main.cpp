// softswitch: the service utility's window.

#include "app/mainwindow.h"
#include "gui/guiplatform.h"
#include "gui/logo.h"
#include "gui/windowview.h"
#include "platform/qt/qteventloop.h"
#include "platform/qt/qtparallelport.h"
#include "platform/qt/qtserialport.h"
#include "platform/qt/qttcpsocket.h"
#include "platform/qt/qttimerdriver.h"
#include "platform/qt/qtusblibrary.h"
#include "platform/qt/portoptions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QIcon>

#include <clocale>
#include <iostream>
#include <memory>

namespace {

// --screenshot FILE: once the window has painted itself, save it to FILE,
// say how long the start took, and quit. For documentation and start-up
// measurements; the window works as usual otherwise.
class FirstPaintShot : public QObject {
public:
    FirstPaintShot(QWidget* window, QString file, const QElapsedTimer& clock)
        : m_window(window), m_file(std::move(file)), m_clock(clock) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            QMetaObject::invokeMethod(this, [this] {
                std::cout << "first paint after " << m_clock.elapsed() << " ms\n";
                const bool saved = m_window->grab().save(m_file);
                QCoreApplication::exit(saved ? 0 : 1);
            }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget* m_window;
    QString m_file;
    const QElapsedTimer& m_clock;
    bool m_done = false;
};

constexpr const char* kHelp =
    "usage: softswitch [OPTION]...\n"
    "Opens the soft switch utility's window: connect a TARVENIC receipt printer over\n"
    "a serial port, USB, the parallel port or TCP/IP, read its identity, counters,\n"
    "language settings and soft switches, change and write them back.\n"
    "\n"
    "Options:\n"
    "  --com N=PATH        use the serial device PATH for port COMN (N from 1 to 16);\n"
    "                      repeatable. COM1-COM4 are /dev/ttyS0-3, COM5-COM10\n"
    "                      /dev/ttyUSB0-5, COM11-COM16 /dev/ttyACM0-5 otherwise\n"
    "  --lpt PATH          use PATH as the parallel device instead of /dev/lp0\n"
    "  --screenshot FILE   save the window to FILE once it has painted itself, print\n"
    "                      the time to the first paint and quit\n"
    "  --help              print this help and exit\n"
    "  --version           print the version and exit\n"
    "\n"
    "USB loads ./libKR5050.so from the working folder; HELP opens KR_SW_Help.txt.\n";

} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer clock;
    clock.start();
    // The options are read before the application object, which needs a display.
    softswitch::PortOptions options;
    std::string why;
    const std::vector<std::string> args(argv + 1, argv + argc);
    QString screenshot;
    const bool parsed = softswitch::parsePortOptions(args, options, why);
    if (parsed && options.rest.size() == 1 && (options.rest[0] == "--help" || options.rest[0] == "--version")) {
        std::cout << (options.rest[0] == "--help" ? std::string(kHelp)
                                                  : std::string("softswitch ") + softswitch::kAppVersion + "\n");
        return 0;
    }
    if (parsed && options.rest.size() == 2 && options.rest[0] == "--screenshot")
        screenshot = QString::fromStdString(options.rest[1]);
    if (!parsed || (!options.rest.empty() && screenshot.isEmpty())) {
        std::cerr << "softswitch: " << (why.empty() ? "unknown arguments" : why) << " (see --help)\n";
        return 2;
    }
    QApplication app(argc, argv);
    // Qt takes the locale from the environment; the printer's numbers are read
    // with a decimal point whatever the user's language.
    std::setlocale(LC_NUMERIC, "C");
    // The desktop matches the window to its menu entry and icon by this name.
    QGuiApplication::setDesktopFileName("softswitch");
    QApplication::setWindowIcon(QIcon(softswitch::gui::makeLogo(256)));

    std::unique_ptr<softswitch::gui::WindowView> view;
    softswitch::MainWindow* window = nullptr;
    const auto refresh = [&view] {
        if (view)
            view->refresh();
    };
    const auto paint = [&view] {
        if (view) {
            view->refresh();
            view->repaint();
        }
    };

    softswitch::QtSerialPort serial(options.comPaths);
    softswitch::QtTcpSocket socket;
    softswitch::QtParallelPort parallel(options.lptPath);
    softswitch::QtUsbLibrary usb;
    softswitch::QtEventLoop qtLoop;
    softswitch::gui::GuiEventLoop loop(qtLoop, refresh, paint, [&window] { return window && window->ended(); });
    softswitch::QtTimerDriver timer([&window, &refresh] {
        if (window && window->timerTick())
            refresh();
    });
    softswitch::gui::GuiBoxes boxes([&view]() -> QWidget* { return view.get(); }, refresh);
    softswitch::gui::GuiShell shell([] {}, [&boxes](const std::string& path) {
        boxes.show("The help file could not be shown on this desktop:\r\n" + path
                       + "\r\n\r\nOpen it with a text editor.",
                   softswitch::MsgButtons::Ok, softswitch::MsgIcon::Information, softswitch::kAppTitle);
    });

    softswitch::MainWindow mainWindow({.serial = serial, .socket = socket, .parallel = parallel, .usb = usb,
                                       .loop = loop, .timer = timer, .boxes = boxes, .shell = shell});
    window = &mainWindow;
    if (!mainWindow.load())
        return 0;
    view = std::make_unique<softswitch::gui::WindowView>(mainWindow);
    std::unique_ptr<FirstPaintShot> shot;
    if (!screenshot.isEmpty()) {
        shot = std::make_unique<FirstPaintShot>(view.get(), screenshot, clock);
        view->installEventFilter(shot.get());
    }
    view->show();
    return app.exec();
}
