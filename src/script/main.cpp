// softswitch-script: the main window's behaviour run headless, driven by a
// script of user actions, over the real links, sleeps and timer.

#include "app/mainwindow.h"
#include "platform/qt/qteventloop.h"
#include "platform/qt/qtparallelport.h"
#include "platform/qt/qtserialport.h"
#include "platform/qt/qttcpsocket.h"
#include "platform/qt/qttimerdriver.h"
#include "platform/qt/qtusblibrary.h"
#include "platform/qt/portoptions.h"
#include "script/scriptrunner.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <fstream>
#include <clocale>
#include <iostream>
#include <vector>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: softswitch-script [--com N=PATH]... [--lpt PATH] SCRIPT\n"
    "  SCRIPT is a file of user actions, or - for standard input.\n";

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Qt takes the locale from the environment; the printer's numbers are read
    // with a decimal point whatever the user's language.
    std::setlocale(LC_NUMERIC, "C");
    softswitch::PortOptions options;
    std::string why;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!softswitch::parsePortOptions(args, options, why) || options.rest.size() != 1
        || (options.rest[0].rfind("--", 0) == 0)) {
        std::cerr << (why.empty() ? "" : why + "\n") << kUsage;
        return softswitch::script::kExitScriptError;
    }
    const std::string scriptPath = options.rest[0];
    std::ifstream file;
    if (scriptPath != "-") {
        file.open(scriptPath, std::ios::binary);
        if (!file) {
            std::cerr << "cannot read " << scriptPath << '\n';
            return softswitch::script::kExitScriptError;
        }
    }
    std::istream& script = scriptPath == "-" ? std::cin : file;

    softswitch::MainWindow* window = nullptr;
    softswitch::QtSerialPort serial(options.comPaths);
    softswitch::QtTcpSocket socket;
    softswitch::QtParallelPort parallel(options.lptPath);
    softswitch::QtUsbLibrary usb;
    softswitch::QtEventLoop loop;
    softswitch::QtTimerDriver timer([&window] {
        if (window)
            window->timerTick();
    });
    softswitch::script::ScriptBoxes boxes(std::cout);
    softswitch::script::ScriptShell shell(std::cout);

    softswitch::MainWindow mainWindow({.serial = serial, .socket = socket, .parallel = parallel, .usb = usb,
                                       .loop = loop, .timer = timer, .boxes = boxes, .shell = shell});
    window = &mainWindow;

    softswitch::script::ScriptRunner runner(mainWindow, boxes, std::cout, std::cerr, [](int ms) {
        QEventLoop waiting;
        QTimer::singleShot(ms, &waiting, &QEventLoop::quit);
        waiting.exec();
    });
    return runner.run(script);
}
