// The window after a Communication Test, as a technician sees it: for each
// printer model, the real window on the real serial adapter against
// printer-emulator, the test's wall time next to its waits, the peak memory,
// and with --shots DIR a picture of the start screen and of every tab.
// Prints figures only; nothing here passes or fails on time.

#include "app/mainwindow.h"
#include "emulatorprocess.h"
#include "fakeplatform.h"
#include "gui/guiplatform.h"
#include "gui/windowview.h"
#include "platform/qt/qteventloop.h"
#include "platform/qt/qtparallelport.h"
#include "platform/qt/qtserialport.h"
#include "platform/qt/qttcpsocket.h"
#include "platform/qt/qtusblibrary.h"
#include "summingloop.h"
#include "tempdir.h"

#include <QApplication>
#include <QTabWidget>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace softswitch;

struct Printer {
    const char* model;
    const char* settings;
};

// Switch bytes chosen so that every tab has bits both ways.
const Printer kPrinters[] = {
    {"KR-5050", "--set sw1=5 --set sw2=201 --set sw3=37 --set sw4=1 --set thai=249 --set codepage=17"},
    {"KR-3100X", "--set sw1=1 --set sw2=2 --set sw3=100 --set sw4=8"},
    {"KR-2250", "--set sw1=3 --set sw2=6 --set sw3=16 --set sw4=127 --set density=2"},
    {"ZQ-PRINTER", "--set sw1=2 --set sw2=254"},
};

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void shoot(QWidget& window, const std::string& file)
{
    QApplication::processEvents();
    if (!window.grab().save(QString::fromStdString(file)))
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    std::string shots;
    if (argc == 3 && std::string(argv[1]) == "--shots")
        shots = argv[2];
    TempDir dir;

    std::printf("%-11s %11s %9s %13s %10s\n", "model", "test ms", "floor ms", "test/floor", "peak MB");
    for (const Printer& printer : kPrinters) {
        std::vector<std::string> args = {"--no-tcp", "--pty", dir.file("printer"), "--set",
                                         std::string("model=") + printer.model};
        const std::string settings = printer.settings;
        for (std::size_t at = 0; at < settings.size();) {
            const auto end = std::min(settings.find(' ', at), settings.size());
            args.push_back(settings.substr(at, end - at));
            at = end + 1;
        }
        EmulatorProcess emulator(args, 1);

        std::unique_ptr<gui::WindowView> view;
        QtSerialPort serial({{1, dir.file("printer")}});
        QtTcpSocket socket;
        QtParallelPort parallel(dir.file("no-parallel-port"));
        QtUsbLibrary usb;
        QtEventLoop qtLoop;
        gui::GuiEventLoop guiLoop(
            qtLoop, [&view] { view->refresh(); },
            [&view] {
                view->refresh();
                view->repaint();
            },
            [] { return false; });
        SummingLoop loop(guiLoop);
        testing::FakeTimer timer;
        testing::FakeBoxes boxes;
        testing::FakeShell shell;
        MainWindow window({.serial = serial, .socket = socket, .parallel = parallel, .usb = usb,
                           .loop = loop, .timer = timer, .boxes = boxes, .shell = shell});
        window.load();
        view = std::make_unique<gui::WindowView>(window);
        view->show();
        const std::string prefix = shots.empty() ? "" : shots + "/" + printer.model;
        if (!shots.empty() && printer.model == std::string("KR-5050"))
            shoot(*view, shots + "/start.png");

        const auto start = std::chrono::steady_clock::now();
        window.click(window.form().cmdCommunicate);
        view->refresh();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        auto* tabs = view->findChild<QTabWidget*>("SSTab1");
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            if (!shots.empty())
                shoot(*view, prefix + "-tab" + std::to_string(tab) + ".png");
        }
        std::printf("%-11s %11.1f %9lld %13.3f %10.1f\n", printer.model, ms, static_cast<long long>(loop.slept.count()),
                    ms / static_cast<double>(loop.slept.count()), static_cast<double>(peakKilobytes()) / 1024.0);
    }
    std::printf("test: a Communication Test over a serial port, the window refreshed and painted during its\n"
                "waits; floor: the waits it asked for. peak MB: the process's peak resident memory so far.\n");
    return 0;
}
