// The libKR5050 builds, loaded with dlopen and called exactly as the
// utility calls it, against stand-ins for the kernel device: a missing path,
// a FIFO and a pseudo-terminal this test drives. What the utility sees
// through the emulated build (queries, writes, every fault) the end-to-end
// cases show.
#include "printeremulator.h"
#include "testsupport.h"

#include <dlfcn.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>

namespace {

using namespace std::string_literals;
using SendxFunction = int32_t (*)(char*, const char*, int32_t, int32_t, int32_t, int32_t, int32_t, char*);

// A libKR5050 build copied into a fresh folder as ./libKR5050.so and loaded
// with dlopen once `variable` holds `value`; each copy is a new load with
// fresh state.
class TransportLibrary {
public:
    TransportLibrary(const std::string& builtPath, const char* variable, const std::string& value)
    {
        setenv(variable, value.c_str(), 1);
        std::filesystem::copy_file(builtPath, m_dir.file("libKR5050.so"));
        m_handle = dlopen(m_dir.file("libKR5050.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        sendx = m_handle ? reinterpret_cast<SendxFunction>(dlsym(m_handle, "sendx")) : nullptr;
        if (!sendx)
            throw std::runtime_error("no sendx in " + builtPath);
    }
    ~TransportLibrary() { dlclose(m_handle); }
    TransportLibrary(const TransportLibrary&) = delete;
    TransportLibrary& operator=(const TransportLibrary&) = delete;

    // The write call: length is the byte count + 1, and the byte past the
    // command (a NUL) must not be sent.
    int32_t write(std::string command)
    {
        char none[1] = {0};
        return sendx(command.data(), "usb", 9600, 0, static_cast<int32_t>(command.size() + 1), 0, 0, none);
    }

    // The read call with its probe character into 32 bytes; the canary behind
    // them must stay.
    std::pair<int32_t, std::string> read(char probe = '\0')
    {
        std::string buffer = std::string(32, '\0') + "canary";
        const int32_t result = sendx(&probe, "usb", 9600, 0, 1, 5, 32, buffer.data());
        EXPECT_EQ(buffer.substr(32), "canary");
        return {result, buffer.substr(0, 32)};
    }

    SendxFunction sendx = nullptr;

private:
    TempDir m_dir;
    void* m_handle = nullptr;
};

// A whole read buffer: the bytes, then NULs up to 32.
std::string padded(const std::string& bytes) { return bytes + std::string(32 - bytes.size(), '\0'); }

// The emulated build reads its options from KR5050_EMULATOR: one it cannot
// take fails every call. A delay past the clock's range would wrap to no delay
// at all; an open quote would swallow the options behind it.
TEST(EmulatedTransport, RefusedOptionsFailEveryCall)
{
    for (const char* options : {"--set sw1=300", "--reply-delay 9223372036854775807",
                                "--reply-delay 18446744073709551615", "--set 'model=KR-31 --reply-delay 5", "--set model=\"KR"}) {
        TransportLibrary refused(KR5050_EMULATED_LIBRARY, "KR5050_EMULATOR", options);
        EXPECT_NE(refused.write(kMaker), 0) << options;
        EXPECT_NE(refused.read().first, 0) << options;
    }
    TransportLibrary library(KR5050_EMULATED_LIBRARY, "KR5050_EMULATOR", "");
    EXPECT_EQ(library.write(kMaker), 0) << "and the same library with good options answers";
}

// The real device is no terminal: a FIFO stands in for it.
TEST(UsblpTransport, WriteSendsExactlyLengthMinusOneBytesToANonTerminalAndAMissingDeviceFails)
{
    {
        TransportLibrary library(KR5050_USBLP_LIBRARY, "KR5050_DEVICE", "/nonexistent/usb/lp0");
        EXPECT_NE(library.write(kMaker), 0);
        EXPECT_NE(library.read().first, 0);
    }
    TempDir dir;
    const std::string fifo = dir.file("lp0");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ByteLink reader(open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    TransportLibrary library(KR5050_USBLP_LIBRARY, "KR5050_DEVICE", fifo);
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
    TransportLibrary library(KR5050_USBLP_LIBRARY, "KR5050_DEVICE", name);
    EXPECT_EQ(library.write(kMaker), 0);
    EXPECT_EQ(master.receive(kMaker.size()), kMaker);
    const std::string longReply = framed(std::string(40, 'A'));
    master.send(longReply);
    // The NUL-probe read takes 32 bytes, the blank-probe read the rest; then a
    // successful, empty read after the bounded wait.
    EXPECT_EQ(library.read('\0'), std::pair(0, longReply.substr(0, 32)));
    EXPECT_EQ(library.read(' '), std::pair(0, padded(longReply.substr(32))));
    EXPECT_EQ(library.read('\0'), std::pair(0, padded("")));
}

}  // namespace
