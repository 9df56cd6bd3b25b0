// libKR5050 (usblp), loaded with dlopen, against stand-ins for the kernel
// device: a missing path, a FIFO, a pseudo-terminal this test drives, and
// printer-emulator's pseudo-terminal.
#include "emulatorprocess.h"
#include "testsupport.h"
#include "transportlibrary.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <string>

namespace {

// The real device is no terminal: a FIFO stands in for it.
TEST(UsblpTransport, WriteSendsExactlyLengthMinusOneBytesToANonTerminalAndAMissingDeviceFails)
{
    {
        ScopedEnv device("KR5050_DEVICE", "/nonexistent/usb/lp0");
        TransportLibrary library(KR5050_USBLP_LIBRARY);
        const auto [written, first, second] = library.exchange(kMaker);
        EXPECT_NE(written, 0);
        EXPECT_NE(first.result, 0);
        EXPECT_EQ(first.buffer, padded(""));
        EXPECT_NE(second.result, 0);
    }
    TempDir dir;
    const std::string fifo = dir.file("lp0");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ByteLink reader = ByteLink::open(fifo, O_RDONLY | O_NONBLOCK);
    ScopedEnv device("KR5050_DEVICE", fifo);
    TransportLibrary library(KR5050_USBLP_LIBRARY);
    const std::string write = hex("1D 67 38 24 53 54 41 4E 44 41 52 44 00 00 00 00 00 00 00 00 00 00 00 00 00");
    EXPECT_EQ(library.write(write), 0);
    EXPECT_EQ(library.write(kMaker), 0);
    EXPECT_EQ(reader.receive(write.size() + kMaker.size()), write + kMaker);
}

// The slave of a pseudo-terminal plays the device; the test answers as the
// printer on the master, so the reply is there before the library reads.
TEST(UsblpTransport, ReadsFillAtMostTheBufferAndThenComeBackEmpty)
{
    int masterFd = -1;
    int slaveFd = -1;
    char name[256] = {};
    ASSERT_EQ(openpty(&masterFd, &slaveFd, name, nullptr, nullptr), 0);
    ByteLink master(masterFd);
    ByteLink slave(slaveFd);  // held open so the pair stays up
    termios settings{};
    tcgetattr(slaveFd, &settings);
    cfmakeraw(&settings);
    tcsetattr(slaveFd, TCSANOW, &settings);
    ScopedEnv env("KR5050_DEVICE", name);
    TransportLibrary library(KR5050_USBLP_LIBRARY);

    EXPECT_EQ(library.write(kMaker), 0);
    EXPECT_EQ(master.receive(kMaker.size()), kMaker);
    const std::string longReply = framed(std::string(40, 'A'));
    master.send(longReply);
    // The NUL-probe read asks for 32 bytes; a canary follows the buffer.
    std::string buffer(32, '\0');
    buffer += std::string(8, '\x55');
    char probe[1] = {0};
    EXPECT_EQ(library.sendx()(probe, "usb", 9600, 0, 1, 5, 32, buffer.data()), 0);
    EXPECT_EQ(buffer.substr(0, 32), longReply.substr(0, 32));
    EXPECT_EQ(buffer.substr(32), std::string(8, '\x55'));
    // The blank-probe read gets the rest; then a successful, empty read after the bounded wait.
    const TransportLibrary::Read rest = library.read(' ');
    EXPECT_EQ(rest.result, 0);
    EXPECT_EQ(rest.buffer, padded(longReply.substr(32)));
    const TransportLibrary::Read empty = library.read('\0');
    EXPECT_EQ(empty.result, 0);
    EXPECT_EQ(empty.buffer, padded(""));
}

TEST(UsblpTransport, TalksToTheEmulatorThroughItsPseudoTerminal)
{
    TempDir dir;
    const std::string link = dir.file("lp0");
    EmulatorProcess emulator({"--no-tcp", "--pty", link, "--set", "model=KR-46"});
    EXPECT_EQ(emulator.readyLines()[0], "listening pty " + link) << "no TCP endpoint";
    ScopedEnv env("KR5050_DEVICE", link);
    TransportLibrary library(KR5050_USBLP_LIBRARY);
    EXPECT_EQ(library.write(kModel), 0);
    // The printer answers within the emulator's own time; read until the
    // whole block is in, as a patient caller would.
    std::string reply;
    for (int attempt = 0; attempt < 50 && reply.find('\0') == std::string::npos; ++attempt) {
        const TransportLibrary::Read part = library.read(attempt % 2 ? ' ' : '\0');
        ASSERT_EQ(part.result, 0);
        reply += part.buffer.substr(0, part.buffer.find('\0') == std::string::npos ? 32 : part.buffer.find('\0') + 1);
    }
    EXPECT_EQ(reply, framed("KR-46"));
    EXPECT_EQ(emulator.stop(), 0);
}

}  // namespace
