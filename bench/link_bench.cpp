// Wall time of a whole Communication Test per link, with the real adapters
// against printer-emulator (a KR-5050 whose switch 4 bit 8 is ON, so all
// four switches are read), next to the floor: the sum of the fixed waits the
// exchange sleeps for that run. Two printers: one that answers every query
// (the new 8x16 font on), and one whose font is off, so that query waits out
// its 1000 polls. Then Write Settings of the language tab, whose code page
// name waits its 1000 ms. TCP over loopback, serial and the parallel
// port over the emulator's pseudo-terminal, USB over the emulated library.
// Prints figures only; nothing here passes or fails on time.

#include "app/mainwindow.h"
#include "emulatorprocess.h"
#include "fakeplatform.h"
#include "platform/qt/qteventloop.h"
#include "platform/qt/qtparallelport.h"
#include "platform/qt/qtserialport.h"
#include "platform/qt/qttcpsocket.h"
#include "platform/qt/qtusblibrary.h"
#include "summingloop.h"
#include "tempdir.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace softswitch;
using Clock = std::chrono::steady_clock;

// One window on the real adapters, the way the utility starts.
struct Bench {
    Bench(const std::string& entry, const std::string& pty, int tcpPort) : serial({{1, pty}}), parallel(pty)
    {
        window.load();
        const auto at = std::find(form.Combo1.list.begin(), form.Combo1.list.end(), entry);
        window.pick(form.Combo1, static_cast<int>(at - form.Combo1.list.begin()));
        form.tcpIP.Text = "127.0.0.1";
        form.tcpListenPort.Text = std::to_string(tcpPort);
    }
    QtSerialPort serial;
    QtTcpSocket socket;
    QtParallelPort parallel;
    QtUsbLibrary usb;
    QtEventLoop real;
    SummingLoop loop{real};
    testing::FakeTimer timer;
    testing::FakeBoxes boxes;
    testing::FakeShell shell;
    MainWindow window{{.serial = serial, .socket = socket, .parallel = parallel, .usb = usb,
                       .loop = loop, .timer = timer, .boxes = boxes, .shell = shell}};
    Form1& form = window.form();
};

struct Figures {
    int done = 0; // runs that did what was asked
    double medianMs = 0;
    double floorMs = 0;
};

// Times `act` in a fresh window per run, after the untimed `prepare`.
Figures measure(int runs, const std::string& entry, const std::string& pty, int tcpPort,
                const std::function<void(Bench&)>& prepare, const std::function<bool(Bench&)>& act)
{
    Figures figures;
    std::vector<double> wall;
    std::vector<double> floor;
    for (int run = 0; run < runs; ++run) {
        Bench bench(entry, pty, tcpPort);
        prepare(bench);
        bench.loop.slept = {};
        const auto start = Clock::now();
        figures.done += act(bench) ? 1 : 0;
        wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        floor.push_back(static_cast<double>(bench.loop.slept.count()));
    }
    std::sort(wall.begin(), wall.end());
    std::sort(floor.begin(), floor.end());
    figures.medianMs = wall[wall.size() / 2];
    figures.floorMs = floor[floor.size() / 2];
    return figures;
}

bool communicationTest(Bench& bench)
{
    bench.window.click(bench.form.cmdCommunicate);
    return bench.form.txtLOG.Text.find("getSW1-->") != std::string::npos;
}

// Write Settings on the language tab: the code page and character set the
// test selected, the other Thai passes chosen (earlier runs wrote the
// printer's); sent whole, with its 1000 ms pause.
void prepareLanguageWrite(Bench& bench)
{
    communicationTest(bench);
    bench.window.selectTab(5);
    bench.window.pick(bench.form.comboTHAI, bench.form.lblLANG_INFO[6].caption() == "3 Pass" ? 0 : 1);
}

bool writeSettings(Bench& bench)
{
    bench.window.click(bench.form.cmd2);
    const auto& shown = bench.boxes.shown;
    return !shown.empty() && shown.back().text == "After writed software switch, please re-power on printer!!";
}

void print(const char* printer, const char* link, int runs, const Figures& f)
{
    std::printf("%-24s %-9s %5d/%-3d %10.1f %9.0f %13.3f\n", printer, link, f.done, runs, f.medianMs, f.floorMs,
                f.medianMs / f.floorMs);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    TempDir dir;
    std::filesystem::copy_file(KR5050_EMULATED_LIBRARY, dir.file("libKR5050.so"));
    std::filesystem::current_path(dir.file(""));
    const std::pair<const char*, const char*> links[] = {
        {"TCP", "TCP/IP"}, {"serial", "COM1"}, {"parallel", "LPT1"}, {"USB", "USB"}};

    std::printf("A KR-5050 reading all four switches, median of %d runs per link.\n", runs);
    std::printf("%-24s %-9s %9s %10s %9s %13s\n", "flow, printer", "link", "done", "median ms", "floor ms",
                "median/floor");
    for (const auto& [printer, options] :
         {std::pair{"Comm. Test, 8x16 on", "--set model=KR-5050 --set sw4=1 --set new8x16=on"},
          std::pair{"Comm. Test, 8x16 off", "--set model=KR-5050 --set sw4=1"}}) {
        std::vector<std::string> args = {"--tcp", "127.0.0.1:0", "--pty", dir.file("printer")};
        std::istringstream words(options);
        for (std::string word; words >> word;)
            args.push_back(word);
        EmulatorProcess emulator(args, 2);
        setenv("KR5050_EMULATOR", options, 1);
        for (const auto& [name, entry] : links)
            print(printer, name, runs, measure(runs, entry, dir.file("printer"), emulator.tcpPort(), [](Bench&) {},
                                               communicationTest));
        if (std::string(printer) != "Comm. Test, 8x16 on")
            continue;
        for (const auto& [name, entry] : links)
            print("Write Settings, language", name, runs,
                  measure(runs, entry, dir.file("printer"), emulator.tcpPort(), prepareLanguageWrite, writeSettings));
    }
    std::printf("floor: the sleeps the flow asked for (a query: TCP 5+10 plus one 1 ms sleep a poll, serial 30,\n"
                "parallel 60, USB 3x70; a write: TCP 5 a command; the code page name's 1000 ms pause), and the\n"
                "waits of opening the link. A silent query costs TCP its 1000 polls.\n");
    return 0;
}
