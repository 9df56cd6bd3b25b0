// Wall time of one query per link with the real adapters against in-process
// stand-ins for the printer, next to the fixed wait the exchange sleeps:
// TCP over loopback, serial over a pseudo-terminal with a responder thread,
// parallel over a FIFO, USB over the stand-in transport library.
// Prints figures only; nothing here passes or fails on time.

#include "form/form1.h"
#include "form/sharedstate.h"
#include "fakeplatform.h"
#include "link/context.h"
#include "platform/qt/qteventloop.h"
#include "platform/qt/qtparallelport.h"
#include "platform/qt/qtserialport.h"
#include "platform/qt/qttcpsocket.h"
#include "platform/qt/qtusblibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace softswitch;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::vector<std::uint8_t> kQuery{29, 73, 49};
const std::string kReply("_30\0", 4);
const std::string kExpected("30\0", 3);

// Real sleeps, with a hook where an in-process printer can answer.
class BenchLoop : public EventLoop {
public:
    std::function<void()> onSleep;
    void sleep(std::chrono::milliseconds duration) override
    {
        if (onSleep)
            onSleep();
        m_real.sleep(duration);
    }
    void processEvents() override { m_real.processEvents(); }

private:
    QtEventLoop m_real;
};

struct BenchLink {
    BenchLink(std::map<int, std::string> com, std::string lpt) : serial(std::move(com)), parallel(std::move(lpt)) {}
    Form1 form;
    SharedState state;
    QtSerialPort serial;
    QtTcpSocket socket;
    QtParallelPort parallel;
    QtUsbLibrary usb;
    BenchLoop loop;
    testing::FakeTimer timer;
    testing::FakeBoxes boxes;
    testing::FakeShell shell;
    Context context{form, state, Platform{serial, socket, parallel, usb, loop, timer, boxes, shell}};
    Link& link = context.link;

    void choose(const std::string& portName)
    {
        state.PortName = portName;
        state.PortType = portName.substr(0, 3);
    }
    bool open()
    {
        bool ok = false;
        link.OpenPort(state.PortName, true, ok);
        return ok;
    }
};

struct Figures {
    const char* link;
    int queries = 0;
    int answered = 0;
    double meanMs = 0;
    double minMs = 0;
    double maxMs = 0;
    double fixedMs = 0;
};

Figures measure(const char* name, BenchLink& bench, int queries, double fixedMs)
{
    Figures figures{name};
    figures.queries = queries;
    figures.fixedMs = fixedMs;
    std::vector<double> times;
    for (int i = 0; i < queries; ++i) {
        std::string text = "R";
        const auto start = Clock::now();
        bench.link.SendCommand(kQuery, text);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (text == kExpected || text == "ABCDE")
            ++figures.answered;
    }
    double total = 0;
    for (double t : times)
        total += t;
    figures.meanMs = total / static_cast<double>(times.size());
    figures.minMs = *std::min_element(times.begin(), times.end());
    figures.maxMs = *std::max_element(times.begin(), times.end());
    return figures;
}

Figures benchTcp(int queries)
{
    QTcpServer server;
    std::string pending;
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&] {
        while (QTcpSocket* peer = server.nextPendingConnection()) {
            QObject::connect(peer, &QTcpSocket::readyRead, peer, [&pending, peer] {
                pending += peer->readAll().toStdString();
                while (pending.size() >= kQuery.size()) {
                    pending.erase(0, kQuery.size());
                    peer->write(kReply.data(), static_cast<qint64>(kReply.size()));
                }
            });
        }
    });
    if (!server.listen(QHostAddress::LocalHost, 0))
        return {"TCP"};
    BenchLink bench({}, {});
    bench.choose("TCP/IP");
    bench.form.tcpIP.Text = "127.0.0.1";
    bench.form.tcpListenPort.Text = std::to_string(server.serverPort());
    bench.open();
    QElapsedTimer waited;
    waited.start();
    while (bench.socket.state() != kTcpConnected && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return measure("TCP", bench, queries, 15);
}

Figures benchSerial(int queries)
{
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
        return {"serial"};
    std::atomic<bool> running{true};
    // The printer: answers each complete command as soon as it has read it.
    std::thread responder([&] {
        std::string pending;
        while (running) {
            pollfd ready{master, POLLIN, 0};
            if (::poll(&ready, 1, 20) <= 0)
                continue;
            char chunk[64];
            const ssize_t got = ::read(master, chunk, sizeof chunk);
            if (got <= 0)
                continue;
            pending.append(chunk, static_cast<std::size_t>(got));
            while (pending.size() >= kQuery.size()) {
                pending.erase(0, kQuery.size());
                if (::write(master, kReply.data(), kReply.size()) < 0)
                    break;
            }
        }
    });
    Figures figures{"serial"};
    {
        BenchLink bench({{1, name}}, {});
        bench.choose("COM1");
        if (bench.open())
            figures = measure("serial", bench, queries, 30);
    }
    running = false;
    responder.join();
    ::close(master);
    ::close(slave);
    return figures;
}

Figures benchParallel(int queries)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("lp0").toStdString();
    if (::mkfifo(path.c_str(), 0600) != 0)
        return {"parallel"};
    // The test holds both ends: the link's writing opens find a reader, and
    // the reply waits in the FIFO for the link's reading open.
    const int reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
    Figures figures{"parallel"};
    {
        BenchLink bench({}, path);
        bench.choose("LPT1");
        bench.open();
        bench.loop.onSleep = [&] {
            char chunk[64];
            while (::read(reader, chunk, sizeof chunk) > 0) {
            }
            if (::write(writer, kReply.data(), kReply.size()) < 0)
                return;
        };
        figures = measure("parallel", bench, queries, 60);
    }
    ::close(reader);
    ::close(writer);
    return figures;
}

Figures benchUsb(int queries)
{
    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
    if (!QFile::copy(KR5050_TEST_LIBRARY, folder.filePath("libKR5050.so")) || !QDir::setCurrent(folder.path()))
        return {"USB"};
    Figures figures{"USB"};
    {
        BenchLink bench({}, {});
        bench.choose("USB");
        figures = measure("USB", bench, queries, 210);
    }
    QDir::setCurrent(previous);
    return figures;
}

void print(const Figures& f)
{
    std::printf("%-9s %7d %8d %9.2f %8.2f %8.2f %10.0f %11.3f\n", f.link, f.queries, f.answered, f.meanMs, f.minMs,
                f.maxMs, f.fixedMs, f.fixedMs > 0 ? f.meanMs / f.fixedMs : 0.0);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int scale = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    std::printf("One query (GS I 1, reply \"_30\\0\") per link, wall time per query.\n");
    std::printf("%-9s %7s %8s %9s %8s %8s %10s %11s\n", "link", "queries", "answered", "mean ms", "min ms", "max ms",
                "fixed ms", "mean/fixed");
    print(benchTcp(50 * scale));
    print(benchSerial(30 * scale));
    print(benchParallel(20 * scale));
    print(benchUsb(10 * scale));
    std::printf("fixed: the exchange's own sleeps (TCP 5+10, serial 30, parallel 60, USB 3x70 with both reads);\n"
                "parallel also waits up to %lld ms of silence in its bounded read.\n",
                static_cast<long long>(QtParallelPort::kReadIdle.count()));
    return 0;
}
