// libKR5050 (usblp), loaded with dlopen, against stand-ins for the kernel
// device: a missing path, a FIFO, a pseudo-terminal this test drives, and
// printer-emulator's pseudo-terminal.
#include "bytelink.h"
#include "emulatorprocess.h"
#include "hex.h"
#include "tempdir.h"
#include "transportlibrary.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <string>

namespace {

const std::string kMaker = hex("1D 49 42");

// Reads what has arrived on fd within the patience bound, up to `size` bytes.
std::string readUpTo(int fd, std::size_t size)
{
    std::string bytes;
    while (bytes.size() < size) {
        pollfd entry{fd, POLLIN, 0};
        if (poll(&entry, 1, static_cast<int>(kPatience.count())) <= 0)
            break;
        char buffer[64];
        const ssize_t count = read(fd, buffer, std::min(sizeof buffer, size - bytes.size()));
        if (count <= 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return bytes;
}

// A pseudo-terminal whose slave plays the usblp device; the test holds the
// master and answers as the printer.
class FakeDevice {
public:
    FakeDevice()
    {
        char name[256] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty failed");
        termios settings{};
        tcgetattr(m_slave, &settings);
        cfmakeraw(&settings);
        tcsetattr(m_slave, TCSANOW, &settings);
        m_path = name;
    }
    ~FakeDevice()
    {
        close(m_master);
        close(m_slave);
    }
    FakeDevice(const FakeDevice&) = delete;
    FakeDevice& operator=(const FakeDevice&) = delete;

    const std::string& path() const { return m_path; }
    int master() const { return m_master; }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};

TEST(UsblpTransport, MissingDeviceIsAFailedResultNotACrash)
{
    ScopedEnv device("KR5050_DEVICE", "/nonexistent/usb/lp0");
    TransportLibrary library(KR5050_USBLP_LIBRARY);
    EXPECT_NE(library.write(kMaker), 0);
    const TransportLibrary::Read reply = library.read('\0');
    EXPECT_NE(reply.result, 0);
    EXPECT_EQ(reply.buffer, padded(""));
}

TEST(UsblpTransport, WriteSendsExactlyLengthMinusOneBytes)
{
    TempDir dir;
    const std::string fifo = dir.file("lp0");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    {
        ScopedEnv device("KR5050_DEVICE", fifo);
        TransportLibrary library(KR5050_USBLP_LIBRARY);
        const std::string write = hex("1D 67 38 24 53 54 41 4E 44 41 52 44 00 00 00 00 00 00 00 00 00 00 00 00 00");
        EXPECT_EQ(library.write(write), 0);
        EXPECT_EQ(library.write(kMaker), 0);
        EXPECT_EQ(readUpTo(reader, write.size() + kMaker.size()), write + kMaker);
    }
    close(reader);
}

TEST(UsblpTransport, ReadFillsTheBufferWithWhatThePrinterSent)
{
    FakeDevice device;
    ScopedEnv env("KR5050_DEVICE", device.path());
    TransportLibrary library(KR5050_USBLP_LIBRARY);

    EXPECT_EQ(library.write(kMaker), 0);
    EXPECT_EQ(readUpTo(device.master(), kMaker.size()), kMaker);
    const std::string reply = framed("TARVENIC");
    ASSERT_EQ(::write(device.master(), reply.data(), reply.size()), static_cast<ssize_t>(reply.size()));
    const TransportLibrary::Read first = library.read('\0');
    EXPECT_EQ(first.result, 0);
    EXPECT_EQ(first.buffer, padded(reply));
    // Nothing more came: a successful, empty read after the bounded wait.
    const TransportLibrary::Read second = library.read(' ');
    EXPECT_EQ(second.result, 0);
    EXPECT_EQ(second.buffer, padded(""));
}

TEST(UsblpTransport, ReadNeverFillsMoreThanTheBuffer)
{
    FakeDevice device;
    ScopedEnv env("KR5050_DEVICE", device.path());
    TransportLibrary library(KR5050_USBLP_LIBRARY);
    const std::string longReply = "_" + std::string(40, 'A');
    ASSERT_EQ(::write(device.master(), longReply.data(), longReply.size()), static_cast<ssize_t>(longReply.size()));
    // Ask for 32 bytes, with a canary after the buffer.
    std::string buffer(40, '\x55');
    std::fill_n(buffer.begin(), 32, '\0');
    char probe[1] = {0};
    library.write(kMaker);  // opens the device, as the utility's write does first
    EXPECT_EQ(library.sendx()(probe, "usb", 9600, 0, 1, 5, 32, buffer.data()), 0);
    EXPECT_EQ(buffer.substr(0, 32), longReply.substr(0, 32));
    EXPECT_EQ(buffer.substr(32), std::string(8, '\x55'));
}

TEST(UsblpTransport, TalksToTheEmulatorThroughItsPseudoTerminal)
{
    TempDir dir;
    const std::string link = dir.file("lp0");
    EmulatorProcess emulator({"--no-tcp", "--pty", link, "--set", "model=KR-46"});
    ScopedEnv env("KR5050_DEVICE", link);
    TransportLibrary library(KR5050_USBLP_LIBRARY);
    EXPECT_EQ(library.write(hex("1D 49 43")), 0);
    // The printer answers within the emulator's own time; read until the
    // whole block is in, as a patient caller would.
    std::string reply;
    for (int attempt = 0; attempt < 50 && reply.find('\0') == std::string::npos; ++attempt) {
        const TransportLibrary::Read part = library.read('\0');
        ASSERT_EQ(part.result, 0);
        reply += part.buffer.substr(0, part.buffer.find('\0') == std::string::npos ? 32 : part.buffer.find('\0') + 1);
    }
    EXPECT_EQ(reply, framed("KR-46"));
    EXPECT_EQ(emulator.stop(), 0);
}

}  // namespace
