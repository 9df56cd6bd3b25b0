// Wall time of a whole Communication Test per link, with the real adapters
// against printer-emulator (a KR-5050 whose switch 4 bit 8 is ON, so all
// four switches are read), next to the floor: the sum of the fixed waits the
// exchange sleeps for that run. Two printers: one that answers every query
// (the new 8x16 font on), and one whose font is off, so that query waits out
// its 1000 polls. TCP over loopback, serial and the parallel
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
#include "tempdir.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace softswitch;
using Clock = std::chrono::steady_clock;

// Real sleeps, summed: the floor no run can go below.
class SummingLoop : public EventLoop {
public:
    void sleep(std::chrono::milliseconds duration) override
    {
        slept += duration;
        m_real.sleep(duration);
    }
    void processEvents() override { m_real.processEvents(); }
    std::chrono::milliseconds slept{0};

private:
    QtEventLoop m_real;
};

struct Figures {
    const char* link;
    int runs = 0;
    int complete = 0; // runs that read all four switches
    double medianMs = 0;
    double floorMs = 0;
};

Figures measure(const char* name, const std::string& entry, int runs, const std::string& pty, int tcpPort)
{
    QtSerialPort serial({{1, pty}});
    QtTcpSocket socket;
    QtParallelPort parallel(pty);
    QtUsbLibrary usb;
    SummingLoop loop;
    testing::FakeTimer timer;
    testing::FakeBoxes boxes;
    testing::FakeShell shell;
    MainWindow window({serial, socket, parallel, usb, loop, timer, boxes, shell});
    Form1& form = window.form();
    window.load();
    const auto at = std::find(form.Combo1.list.begin(), form.Combo1.list.end(), entry);
    window.pick(form.Combo1, static_cast<int>(at - form.Combo1.list.begin()));
    form.tcpIP.Text = "127.0.0.1";
    form.tcpListenPort.Text = std::to_string(tcpPort);

    Figures figures{name, runs};
    std::vector<double> wall;
    std::vector<double> floor;
    for (int run = 0; run < runs; ++run) {
        form.txtLOG.Text.clear();
        loop.slept = {};
        const auto start = Clock::now();
        window.click(form.cmdCommunicate);
        wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        floor.push_back(static_cast<double>(loop.slept.count()));
        if (form.txtLOG.Text.find("getSW1-->") != std::string::npos)
            ++figures.complete;
    }
    std::sort(wall.begin(), wall.end());
    std::sort(floor.begin(), floor.end());
    figures.medianMs = wall[wall.size() / 2];
    figures.floorMs = floor[floor.size() / 2];
    return figures;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    TempDir dir;
    std::filesystem::copy_file(KR5050_EMULATED_LIBRARY, dir.file("libKR5050.so"));
    std::filesystem::current_path(dir.file(""));

    std::printf("Communication Test of a KR-5050 reading all four switches, median of %d runs per link.\n", runs);
    std::printf("%-22s %-9s %9s %10s %9s %13s\n", "printer", "link", "complete", "median ms", "floor ms",
                "median/floor");
    for (const auto& [printer, options] : {std::pair{"8x16 font on", "--set model=KR-5050 --set sw4=1 --set new8x16=on"},
                                           std::pair{"8x16 font off (silent)", "--set model=KR-5050 --set sw4=1"}}) {
        std::vector<std::string> args = {"--tcp", "127.0.0.1:0", "--pty", dir.file("printer")};
        std::istringstream words(options);
        for (std::string word; words >> word;)
            args.push_back(word);
        EmulatorProcess emulator(args, 2);
        setenv("KR5050_EMULATOR", options, 1);
        for (const auto& [name, entry] : {std::pair{"TCP", "TCP/IP"}, std::pair{"serial", "COM1"},
                                          std::pair{"parallel", "LPT1"}, std::pair{"USB", "USB"}}) {
            const Figures f = measure(name, entry, runs, dir.file("printer"), emulator.tcpPort());
            std::printf("%-22s %-9s %5d/%-3d %10.1f %9.0f %13.3f\n", printer, f.link, f.complete, f.runs, f.medianMs,
                        f.floorMs, f.medianMs / f.floorMs);
        }
    }
    std::printf("floor: the sleeps the exchange asked for in that run (TCP 5+10 a query plus one 1 ms sleep a\n"
                "poll, serial 30, parallel 60, USB 3x70), and the waits of opening the link.\n");
    return 0;
}
