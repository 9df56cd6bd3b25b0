// What only a real transport shows, on the four adapters: the parallel read's
// bounds on a FIFO, the serial line settings on a pseudo-terminal, the
// socket's refusal to send while unconnected, and the USB library loaded with
// dlopen; a device that stops taking bytes and a peer that floods, on each.
// Round trips through the whole link are the e2e cases.

#include "platform/qt/qtparallelport.h"
#include "platform/qt/qtserialport.h"
#include "platform/qt/qttcpsocket.h"
#include "platform/qt/qtusblibrary.h"
#include "tempdir.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <thread>

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace softswitch {
namespace {

using namespace std::string_literals;

// A FIFO held open at both ends: the port's opens find a peer, and what the
// printer puts waits for the port's read.
struct Fifo {
    TempDir folder;
    std::string path = folder.file("lp0");
    int reader = ::mkfifo(path.c_str(), 0600) == 0 ? ::open(path.c_str(), O_RDONLY | O_NONBLOCK) : -1;
    int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
    ~Fifo()
    {
        ::close(reader);
        ::close(writer);
    }
    void put(const std::string& bytes) const { ::write(writer, bytes.data(), bytes.size()); }
    // Puts `first`, and `then` as soon as the port has taken `first`.
    std::thread putInTwo(std::string first, std::string then) const
    {
        return std::thread([=, this] {
            put(first);
            int unread = 1;
            for (int spins = 0; ::ioctl(writer, FIONREAD, &unread) == 0 && unread > 0 && spins < 1000000; ++spins)
                std::this_thread::yield();
            put(then);
        });
    }
};

TEST(QtParallelPortAdapter, ReadEndsAtTheCountAWholeFrameOrAPause)
{
    Fifo printer;
    QtParallelPort port(printer.path);
    PlatformError error;
    ASSERT_TRUE(printer.reader >= 0 && printer.writer >= 0 && port.open(true, error));
    printer.put("_" + std::string(40, 'x'));
    EXPECT_EQ(port.read(30), "_" + std::string(29, 'x'));
    EXPECT_EQ(port.read(30), std::string(11, 'x')); // no frame: what came before the pause
    // More bytes come as soon as the frame is taken: a read that waited on would take them too.
    std::thread late = printer.putInTwo("_30\0"s, "late");
    EXPECT_EQ(port.read(30), "_30\0"s);
    late.join();
    EXPECT_EQ(port.read(30), "late");
    // A NUL before the underscore does not end the frame: the read waits for the rest.
    std::thread rest = printer.putInTwo("\0_3"s, "0\0"s);
    EXPECT_EQ(port.read(30), "\0_30\0"s);
    rest.join();
}

TEST(QtParallelPortAdapter, OpensOneWayAtATimeAndLosesBytesWithoutAReader)
{
    TempDir folder;
    const std::string path = folder.file("lp0");
    std::ofstream(path, std::ios::binary) << "_30";
    QtParallelPort port(path);
    PlatformError error;
    ASSERT_TRUE(port.open(true, error));
    EXPECT_FALSE(port.write('A')); // a reading handle takes no bytes
    EXPECT_EQ(port.read(30), "_30");
    ASSERT_TRUE(port.open(false, error));
    EXPECT_EQ(port.read(30), ""); // a writing handle gives none
    port.write('B');
    port.close();
    EXPECT_TRUE(port.write('C')); // closed: lost, as on a closed file number
    EXPECT_EQ(readFile(path), "B30");

    Fifo printer;
    QtParallelPort fifoPort(printer.path);
    ASSERT_TRUE(fifoPort.open(false, error));
    ::close(std::exchange(printer.reader, -1));
    EXPECT_FALSE(fifoPort.write('D')); // the reader is gone: a failed write, and the program lives on
}

struct Pty {
    int master = -1, slave = -1;
    char name[256] = {};
    Pty()
    {
        openpty(&master, &slave, name, nullptr, nullptr);
        ::fcntl(master, F_SETFL, O_NONBLOCK);
        termios line{};
        tcgetattr(slave, &line);
        cfmakeraw(&line); // bytes cross as they are
        tcsetattr(slave, TCSANOW, &line);
    }
    ~Pty()
    {
        ::close(master);
        ::close(slave);
    }
    // What the printer end has received; a moment first for the line discipline.
    std::string received() const
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::string bytes;
        char chunk[256];
        for (ssize_t got; (got = ::read(master, chunk, sizeof chunk)) > 0;)
            bytes.append(chunk, static_cast<std::size_t>(got));
        return bytes;
    }
    void send(const std::string& bytes) const { ::write(master, bytes.data(), bytes.size()); }
};

// Lets the event loop run for a while, as an idle window does.
void idle(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Writes to fd as fast as it takes bytes until stopped; counts what went in.
struct Flood {
    int fd;
    std::atomic<bool> stop = false;
    std::atomic<std::size_t> sent = 0;
    std::thread thread{[this] {
        const std::string chunk(4096, 'x');
        while (!stop) {
            pollfd ready{fd, POLLOUT, 0};
            if (::poll(&ready, 1, 10) == 1) {
                const ssize_t put = ::send(fd, chunk.data(), chunk.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
                const ssize_t written = put < 0 && errno == ENOTSOCK ? ::write(fd, chunk.data(), chunk.size()) : put;
                sent += written > 0 ? static_cast<std::size_t>(written) : 0;
            }
        }
    }};
    ~Flood()
    {
        stop = true;
        thread.join();
    }
};

TEST(QtParallelPortAdapter, ADeviceThatStopsTakingFailsTheByteAndNothingOfItGoesLater)
{
    Pty device;
    QtParallelPort port(device.name);
    PlatformError error;
    ASSERT_TRUE(port.open(false, error));
    port.startCommand();
    for (char c : std::string("unlock"))
        ASSERT_TRUE(port.write(static_cast<std::uint8_t>(c)));
    ::tcflow(device.slave, TCOOFF); // the device takes nothing more
    EXPECT_FALSE(port.write('!'));
    ::tcflow(device.slave, TCOON);
    EXPECT_EQ(device.received(), "unlock");
}

TEST(QtSerialPortAdapter, SettingsAndHandshakingReachTheTerminal)
{
    Pty pty;
    QtSerialPort port({{3, pty.name}});
    port.setCommPort(3);
    // Settings, handshaking and the line's speed (a pseudo-terminal keeps no parity).
    const std::tuple<SerialSettings, Handshaking, speed_t> rows[] = {
        {{BaudRate::Baud38400, Parity::Even}, Handshaking::XonXoff, B38400},
        {{BaudRate::Baud115200, Parity::None}, Handshaking::DtrDsr, B115200}};
    for (const auto& [settings, handshaking, speed] : rows) {
        port.setPortOpen(false);
        port.setSettings(settings);
        port.setHandshaking(handshaking);
        ASSERT_TRUE(port.setPortOpen(true));
        EXPECT_TRUE(port.dsrHolding() && port.ctsHolding()); // a pseudo-terminal has no modem lines: asserted
        termios line{};
        tcgetattr(pty.slave, &line);
        EXPECT_EQ(cfgetospeed(&line), speed);
        EXPECT_EQ(line.c_cflag & (CSIZE | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CS8));
        EXPECT_EQ(line.c_iflag & (IXON | IXOFF), handshaking == Handshaking::XonXoff ? IXON | IXOFF : 0u);
    }
}

// A serial port under the test's control, opened on a pseudo-terminal.
struct OpenSerial {
    Pty printer;
    QtSerialPort port{{{3, printer.name}}};
    explicit OpenSerial(Handshaking handshaking)
    {
        port.setCommPort(3);
        port.setHandshaking(handshaking);
        port.setPortOpen(true);
    }
};

TEST(QtSerialPortAdapter, AfterXoffTheByteFailsAndIsTakenBackTheNextCommandGoesAfterXon)
{
    OpenSerial com(Handshaking::XonXoff);
    ASSERT_TRUE(com.port.portOpen());
    com.port.startCommand();
    for (char c : std::string("unl"))
        ASSERT_TRUE(com.port.output(static_cast<std::uint8_t>(c)));
    com.printer.send("\x13"); // XOFF
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(com.port.output('o'));
    EXPECT_EQ(com.printer.received(), "unl");
    com.printer.send("\x11"); // XON
    com.port.startCommand();
    EXPECT_TRUE(com.port.output('k'));
    EXPECT_EQ(com.printer.received(), "k") << "the byte given up never goes out";
}

TEST(QtSerialPortAdapter, DevicePathsAndAClosedPort)
{
    const std::map<int, std::string> overrides{{3, "/tmp/printer"}, {20, "/dev/pts/9"}};
    const std::pair<int, const char*> rows[] = {
        {1, "/dev/ttyS0"},   {4, "/dev/ttyS3"},   {5, "/dev/ttyUSB0"}, {10, "/dev/ttyUSB5"}, {11, "/dev/ttyACM0"},
        {16, "/dev/ttyACM5"}, {0, ""},           {17, ""},            {3, "/tmp/printer"},  {20, "/dev/pts/9"}};
    for (const auto& [number, path] : rows)
        EXPECT_EQ(QtSerialPort::devicePath(number, overrides), path) << "COM" << number;
    QtSerialPort port;
    EXPECT_FALSE(port.portOpen() || port.dsrHolding() || port.inBufferCount() != 0 || !port.input().empty());
    EXPECT_TRUE(port.output(29)); // lost, as before any open
}

TEST(QtTcpSocketAdapter, SendingWhileUnconnectedLeavesOneBadStateError)
{
    QtTcpSocket socket;
    PlatformError error;
    EXPECT_FALSE(socket.takePendingError(error));
    socket.sendByte(29);
    socket.sendByte(73);
    ASSERT_TRUE(socket.takePendingError(error));
    EXPECT_EQ(std::tie(error.number, error.source), std::make_tuple(QtTcpSocket::kBadStateError, "Winsock1"));
    EXPECT_FALSE(error.description.empty() || socket.takePendingError(error));
    EXPECT_EQ(socket.getData(10), "");
    EXPECT_EQ(socket.socketHandle(), 0);
}

// A listening socket on loopback, and the QtTcpSocket connected to it.
struct Connected {
    int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int peer = -1;
    QtTcpSocket socket;
    explicit Connected(int receiveBuffer = 0)
    {
        if (receiveBuffer > 0) // inherited by the accepted socket: a small window
            ::setsockopt(listener, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener, 1);
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
        socket.setRemoteHost("127.0.0.1");
        socket.setRemotePort(ntohs(address.sin_port));
        socket.connect();
        QElapsedTimer timer;
        timer.start();
        while (socket.state() != 7 && timer.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        peer = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    }
    ~Connected()
    {
        socket.close();
        ::close(peer);
        ::close(listener);
    }
};

TEST(QtTcpSocketAdapter, APeerThatTakesNothingFailsTheSendAndTheLineIsDropped)
{
    Connected printer(1);
    ASSERT_EQ(printer.socket.state(), 7);
    printer.socket.startCommand();
    std::size_t taken = 0;
    while (taken < (64u << 20) && printer.socket.sendByte('x'))
        ++taken;
    EXPECT_LT(taken, 64u << 20) << "the send gives up once the window stays full";
    EXPECT_EQ(printer.socket.state(), 0) << "the byte given up cannot go out later";
}

// A printer that floods the serial line or the socket: the link keeps at most
// its receive limit, and once that is taken the buffer fills again.
TEST(QtTransports, APeerThatFloodsIsHeldAtTheReceiveLimit)
{
    OpenSerial com(Handshaking::DtrDsr);
    Connected tcp;
    ASSERT_TRUE(com.port.portOpen() && tcp.socket.state() == 7);
    struct Row {
        int peer;
        std::function<int()> buffered;
        std::function<std::size_t()> take;
    };
    const Row rows[] = {{com.printer.master, [&] { return com.port.inBufferCount(); }, [&] { return com.port.input().size(); }},
                        {tcp.peer, [&] { return tcp.socket.bytesReceived(); }, [&] { return tcp.socket.getData(1 << 30).size(); }}};
    for (const Row& row : rows) {
        Flood flood{row.peer};
        idle(1000);
        EXPECT_GT(flood.sent, kReceiveLimitBytes) << "the printer sent more than the link keeps";
        EXPECT_LE(static_cast<std::size_t>(row.buffered()), kReceiveLimitBytes);
        EXPECT_LE(row.take(), kReceiveLimitBytes);
        idle(100);
        EXPECT_GT(row.buffered(), 0) << "once taken, the buffer fills again";
    }
}

TEST(QtUsbLibraryAdapter, ALibraryThatWritesPastTheBufferFailsTheCallAndNothingIsReadBack)
{
    QtUsbLibrary usb{KR5050_OVERRUN_LIBRARY};
    std::string probe(1, '\0'), buffer(32, '\0');
    EXPECT_EQ(usb.sendx(probe, "usb", 9600, 0, 1, 5, 32, buffer), QtUsbLibrary::kOverrun);
    EXPECT_EQ(probe + buffer, std::string(33, '\0'));
}

TEST(QtUsbLibraryAdapter, PassesEveryArgumentAndReadsBackOnlyWhatAReadFilled)
{
    // The stand-in library describes the call before it in the buffer, sets the probe to "P" and returns the mode.
    QtUsbLibrary usb{KR5050_TEST_LIBRARY};
    std::string command("\x1dI1", 3), none, probe(1, '\0'), buffer(32, '\0');
    EXPECT_EQ(usb.sendx(command, "usb", 9600, 0, 4, 0, 0, none), 0);
    EXPECT_EQ(command + none, "\x1dI1");
    EXPECT_EQ(usb.sendx(probe, "usb", 9600, 0, 1, 5, 32, buffer), 5);
    EXPECT_EQ(probe, "P");
    EXPECT_EQ(buffer, "usb 9600 0 4 0 0: 1D493100" + std::string(6, '\0')); // the command bytes and a NUL
    buffer.assign(32, '\0');
    EXPECT_EQ(usb.sendx(probe, "usb", 9600, 0, 1, 5, 32, buffer), 5);
    EXPECT_EQ(buffer, "usb 9600 0 1 5 32: 00" + std::string(11, '\0'));
}

TEST(QtUsbLibraryAdapter, AMissingLibraryIsLoadedOnceThereOneWithoutSendxIsRefused)
{
    TempDir folder;
    std::string probe(1, '\0'), buffer(32, '\0');
    QtUsbLibrary usb{folder.file("libKR5050.so")};
    EXPECT_EQ(usb.sendx(probe, "usb", 9600, 0, 1, 5, 32, buffer), QtUsbLibrary::kNotLoaded);
    EXPECT_FALSE(usb.loadError().empty());
    std::filesystem::copy_file(KR5050_TEST_LIBRARY, folder.file("libKR5050.so"));
    EXPECT_EQ(usb.sendx(probe, "usb", 9600, 0, 1, 5, 32, buffer), 5);
    EXPECT_TRUE(usb.loadError().empty());

    QtUsbLibrary withoutSendx{KR5050_NOSENDX_LIBRARY};
    EXPECT_EQ(withoutSendx.sendx(probe, "usb", 9600, 0, 1, 5, 32, buffer), QtUsbLibrary::kNotLoaded);
    EXPECT_NE(withoutSendx.loadError().find("sendx"), std::string::npos) << withoutSendx.loadError();
}

} // namespace
} // namespace softswitch
