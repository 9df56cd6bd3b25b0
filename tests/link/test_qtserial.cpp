// The serial link on QSerialPort through a pseudo-terminal pair (the slave is
// the COM port); round trips over a pty are the e2e COM cases.

#include "reallink.h"

#include <fstream>

#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace softswitch::testing {
namespace {


// Held open at both ends, so the line never hangs up between the port's opens.
struct Pty {
    int master = -1, slave = -1;
    char name[256] = {};
    Pty() { openpty(&master, &slave, name, nullptr, nullptr); }
    ~Pty()
    {
        ::close(master);
        ::close(slave);
    }
};

class QtSerial : public ::testing::Test {
protected:
    Pty pty;
    RealLink real{{{3, pty.name}}};
    void SetUp() override
    {
        ASSERT_GE(pty.master, 0);
        real.choose("COM3");
    }
};

TEST_F(QtSerial, SettingsReachTheTerminal)
{
    using F = Form1;
    const std::tuple<Control F::*, Control F::*, Control F::*, speed_t, bool> rows[] = {
        {&F::com_BR_38400, &F::com_HS_SW, &F::com_PK_EVEN, B38400, true},
        {&F::com_BR_115200, &F::com_HS_HW, &F::com_PK_NONE, B115200, false}};
    for (const auto& [baud, handshake, parity, speed, xonXoff] : rows) {
        for (Control F::*button : {baud, handshake, parity})
            (real.form.*button).setValue(true);
        // A pseudo-terminal reports no modem lines: they count as asserted, so no busy message.
        EXPECT_TRUE(real.openPort(true));
        termios line{};
        tcgetattr(pty.slave, &line);
        EXPECT_EQ(cfgetospeed(&line), speed);
        EXPECT_EQ(line.c_cflag & (CSTOPB | CRTSCTS), 0u);
        EXPECT_EQ((line.c_iflag & IXON) != 0, xonXoff);
        EXPECT_EQ((line.c_iflag & IXOFF) != 0, xonXoff);
    }
    EXPECT_TRUE(real.boxes.shown.empty());
}

TEST(QtSerialPortAdapter, AbsentOrNonTerminalDevicesShowTheOpenMessage)
{
    QTemporaryDir folder;
    const std::string file = folder.filePath("plain-file").toStdString();
    std::ofstream(file) << "not a terminal";
    for (const std::string& path : {folder.filePath("no-such-tty").toStdString(), file, std::string("/")}) {
        RealLink real{{{3, path}}};
        real.choose("COM3");
        EXPECT_FALSE(real.openPort(true)) << path;
        EXPECT_FALSE(real.serial.portOpen());
        expectOneBox(real.boxes,
                     "The COM3 can not OPEN !!\r\rPlease check that whether <printer driver> or <other application> "
                     "occupy it !",
                     MsgIcon::Critical);
    }
}

TEST(QtSerialPortAdapter, DevicePathTableAndOverrides)
{
    const std::map<int, std::string> none, overrides{{3, "/tmp/printer"}, {20, "/dev/pts/9"}};
    const std::pair<int, const char*> rows[] = {{1, "/dev/ttyS0"},    {4, "/dev/ttyS3"},    {5, "/dev/ttyUSB0"},
                                                {10, "/dev/ttyUSB5"}, {11, "/dev/ttyACM0"}, {16, "/dev/ttyACM5"},
                                                {0, ""},              {17, ""}};
    for (const auto& [number, path] : rows)
        EXPECT_EQ(QtSerialPort::devicePath(number, none), path) << "COM" << number;
    EXPECT_EQ(QtSerialPort::devicePath(3, overrides), "/tmp/printer");
    EXPECT_EQ(QtSerialPort::devicePath(20, overrides), "/dev/pts/9");
    EXPECT_EQ(QtSerialPort::devicePath(4, overrides), "/dev/ttyS3");
}

TEST(QtSerialPortAdapter, MalformedSettingsAreRefusedAndAClosedPortReportsNothing)
{
    for (const char* good : {"115200,N,8,1", "38400,E,8,1", "9600,O,7,2"})
        EXPECT_TRUE(QtSerialPort::parseSettings(good).has_value()) << good;
    for (const char* bad : {",N,8,1", "9600,,8,1", "9600,X,8,1", "9600,N,9,1", "9600,N,8", "abc", ""})
        EXPECT_FALSE(QtSerialPort::parseSettings(bad).has_value()) << bad;
    ensureApplication();
    QtSerialPort port;
    port.setSettings("38400,E,8,1");
    port.setSettings(",E,8,1");
    EXPECT_EQ(port.settings(), "38400,E,8,1");
    EXPECT_FALSE(port.portOpen() || port.dsrHolding());
    EXPECT_EQ(port.inBufferCount(), 0);
    EXPECT_EQ(port.input(), "");
    port.output(29); // lost, without a crash
}

} // namespace
} // namespace softswitch::testing
