// The serial link on QSerialPort through a pseudo-terminal pair: the test
// holds the master side and plays the printer; the slave is the COM port.

#include "reallink.h"

#include <QTemporaryDir>

#include <fstream>

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace softswitch::testing {
namespace {

class PtyPair {
public:
    PtyPair()
    {
        char name[256] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0)
            m_slavePath = name;
    }
    ~PtyPair()
    {
        for (int fd : {m_master, m_slave})
            if (fd >= 0)
                ::close(fd);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return !m_slavePath.empty(); }
    const std::string& slavePath() const { return m_slavePath; }

    // What the port sees of the line, read on the slave side (the pair shares it).
    termios lineSettings() const
    {
        termios settings{};
        tcgetattr(m_slave, &settings);
        return settings;
    }

    // The printer's side: what the port sent, count bytes unless the line stays silent for 5 s.
    std::string readSent(std::size_t count) const
    {
        std::string sent;
        char byte = 0;
        pollfd ready{m_master, POLLIN, 0};
        while (sent.size() < count && ::poll(&ready, 1, 5000) > 0 && ::read(m_master, &byte, 1) == 1)
            sent += byte;
        return sent;
    }

    void reply(const std::string& bytes) const
    {
        EXPECT_EQ(::write(m_master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

private:
    int m_master = -1;
    int m_slave = -1; // held open so the line never hangs up between the port's opens
    std::string m_slavePath;
};

const std::string kOpenFail3 =
    "The COM3 can not OPEN !!\r\rPlease check that whether <printer driver> or <other application> occupy it !";

class QtSerial : public ::testing::Test {
protected:
    PtyPair pty;
    RealLink real{{{3, pty.slavePath()}}};
    std::string m_sent;

    void SetUp() override
    {
        ASSERT_TRUE(pty.ok());
        real.choose("COM3");
    }

    // The printer reads the command when the core starts its wait, then answers in parts.
    void answerOnWait(std::vector<std::string> parts)
    {
        real.loop.onSleep = [this, parts](std::chrono::milliseconds) {
            m_sent = pty.readSent(kQuery.size());
            for (const std::string& part : parts)
                pty.reply(part);
        };
    }
};

struct LineRow {
    const char* name;
    Control Form1::*baud;
    Control Form1::*handshake;
    Control Form1::*parity;
    speed_t speed;
    const char* settingsText;
    bool xonXoff;
};

class QtSerialLine : public QtSerial, public ::testing::WithParamInterface<LineRow> {};

TEST_P(QtSerialLine, SettingsReachTheTerminal)
{
    const LineRow& row = GetParam();
    for (Control Form1::*button : {row.baud, row.handshake, row.parity})
        (real.form.*button).setValue(true);
    // A pseudo-terminal reports no modem lines: they count as asserted, so no busy message.
    EXPECT_TRUE(real.openPort(true));
    EXPECT_TRUE(real.boxes.shown.empty());
    EXPECT_TRUE(real.serial.portOpen());

    const termios line = pty.lineSettings();
    EXPECT_EQ(cfgetospeed(&line), row.speed);
    EXPECT_EQ(line.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(line.c_cflag & CRTSCTS, 0u);
    // A pseudo-terminal keeps no parity, so the parity letter is checked on the settings text.
    EXPECT_EQ(real.serial.settings(), row.settingsText);
    EXPECT_EQ((line.c_iflag & IXON) != 0, row.xonXoff);
    EXPECT_EQ((line.c_iflag & IXOFF) != 0, row.xonXoff);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, QtSerialLine,
    ::testing::Values(LineRow{"Com3_38400_E_8_1_XonXoff", &Form1::com_BR_38400, &Form1::com_HS_SW, &Form1::com_PK_EVEN,
                              B38400, "38400,E,8,1", true},
                      LineRow{"StartChoices_115200_N_DtrDsr", &Form1::com_BR_115200, &Form1::com_HS_HW,
                              &Form1::com_PK_NONE, B115200, "115200,N,8,1", false}),
    RowName{});

TEST_F(QtSerial, RoundTripsAfterAReopenWritesAndClosingTwiceAreSilent)
{
    ASSERT_TRUE(real.openPort(true));
    EXPECT_TRUE(real.openPort(true)); // closes and opens again
    answerOnWait({"_", "3", std::string("0\0\x11\x13\xff\r\n", 7)});
    EXPECT_EQ(real.send(kQuery, "R"), std::string("30\0\x11\x13\xff\r\n", 8)); // parts joined, bytes intact
    EXPECT_EQ(m_sent, asText(kQuery));
    answerOnWait({});
    EXPECT_EQ(real.send(kQuery, "R"), "");

    real.loop.onSleep = nullptr;
    const Bytes command{29, 103, 56, 0, 255, 13, 10};
    EXPECT_EQ(real.send(command, "W"), "");
    EXPECT_EQ(pty.readSent(command.size()), asText(command));
    EXPECT_TRUE(real.openPort(false));
    EXPECT_FALSE(real.serial.portOpen());
    EXPECT_TRUE(real.openPort(false));
    EXPECT_TRUE(real.boxes.shown.empty());
}

struct UnopenableRow {
    const char* name;
    std::string path; // relative names are made inside a temporary folder
    bool regularFile;
};

class QtSerialUnopenable : public ::testing::TestWithParam<UnopenableRow> {};

TEST_P(QtSerialUnopenable, ShowsTheOpenMessage)
{
    QTemporaryDir folder;
    std::string path = GetParam().path;
    if (path.front() != '/') {
        path = folder.filePath(QString::fromStdString(path)).toStdString();
        if (GetParam().regularFile)
            std::ofstream(path) << "not a terminal";
    }
    RealLink real{{{3, path}}};
    real.choose("COM3");
    EXPECT_FALSE(real.openPort(true));
    EXPECT_FALSE(real.serial.portOpen());
    expectOneBox(real.boxes, kOpenFail3, MsgIcon::Critical);
}

INSTANTIATE_TEST_SUITE_P(Rows, QtSerialUnopenable,
                         ::testing::Values(UnopenableRow{"Absent", "no-such-tty", false},
                                           UnopenableRow{"RegularFile", "plain-file", true},
                                           UnopenableRow{"Directory", "/", false}),
                         RowName{});

// ---- The adapter on its own -------------------------------------------------

TEST(QtSerialPortAdapter, DevicePathTable)
{
    const std::map<int, std::string> none;
    const std::pair<int, const char*> rows[] = {
        {1, "/dev/ttyS0"},    {4, "/dev/ttyS3"},    {5, "/dev/ttyUSB0"}, {10, "/dev/ttyUSB5"},
        {11, "/dev/ttyACM0"}, {16, "/dev/ttyACM5"}, {0, ""},             {17, ""},
    };
    for (const auto& [number, path] : rows)
        EXPECT_EQ(QtSerialPort::devicePath(number, none), path) << "COM" << number;

    const std::map<int, std::string> overrides{{3, "/tmp/printer"}, {20, "/dev/pts/9"}};
    EXPECT_EQ(QtSerialPort::devicePath(3, overrides), "/tmp/printer");
    EXPECT_EQ(QtSerialPort::devicePath(20, overrides), "/dev/pts/9");
    EXPECT_EQ(QtSerialPort::devicePath(4, overrides), "/dev/ttyS3");
}

TEST(QtSerialPortAdapter, MalformedSettingsAreRefusedAndThePreviousStay)
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
}

TEST(QtSerialPortAdapter, ClosedPortReportsNothing)
{
    ensureApplication();
    QtSerialPort port;
    EXPECT_FALSE(port.portOpen());
    EXPECT_FALSE(port.dsrHolding());
    EXPECT_EQ(port.inBufferCount(), 0);
    EXPECT_EQ(port.input(), "");
    port.output(29); // lost, without a crash
}

} // namespace
} // namespace softswitch::testing
