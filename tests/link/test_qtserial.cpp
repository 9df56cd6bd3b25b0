// The serial link on QSerialPort through a pseudo-terminal pair: the test
// holds the master side and plays the printer; the slave is the COM port.

#include "reallink.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cerrno>
#include <fstream>

#include <fcntl.h>
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
        if (m_master >= 0)
            ::close(m_master);
        if (m_slave >= 0)
            ::close(m_slave);
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

    // The printer's side: what the port sent, waiting up to the bound for count bytes.
    std::string readSent(std::size_t count, std::chrono::milliseconds bound = 5000ms) const
    {
        std::string sent;
        QElapsedTimer elapsed;
        elapsed.start();
        while (sent.size() < count && elapsed.elapsed() < bound.count()) {
            pollfd ready{m_master, POLLIN, 0};
            if (::poll(&ready, 1, 10) <= 0)
                continue;
            char chunk[64];
            const ssize_t got = ::read(m_master, chunk, std::min(sizeof chunk, count - sent.size()));
            if (got > 0)
                sent.append(chunk, static_cast<std::size_t>(got));
        }
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

constexpr int kPort = 3;

class QtSerial : public ::testing::Test {
protected:
    PtyPair pty;
    RealLink real{{{kPort, pty.slavePath()}}};

    void SetUp() override
    {
        ASSERT_TRUE(pty.ok());
        real.choose("COM" + std::to_string(kPort));
    }

    // The printer answers in parts when the core starts its wait, after reading the command.
    void answerOnWait(std::vector<std::string> parts)
    {
        real.loop.onSleep = [this, parts](std::chrono::milliseconds) {
            m_sent = pty.readSent(kQuery.size());
            for (const std::string& part : parts)
                pty.reply(part);
        };
    }

    std::string m_sent;
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
    (real.form.*row.baud).setValue(true);
    (real.form.*row.handshake).setValue(true);
    (real.form.*row.parity).setValue(true);
    // A pseudo-terminal reports no modem lines: they count as asserted, so no busy message.
    EXPECT_TRUE(real.openPort(true));
    EXPECT_TRUE(real.boxes.shown.empty());
    EXPECT_TRUE(real.serial.portOpen());

    const termios line = pty.lineSettings();
    EXPECT_EQ(cfgetospeed(&line), row.speed);
    EXPECT_EQ(line.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(line.c_cflag & CRTSCTS, 0u);
    // A pseudo-terminal keeps no parity (the kernel clears it), so the parity
    // letter is checked on the settings text instead.
    EXPECT_EQ(real.serial.settings(), row.settingsText);
    EXPECT_EQ((line.c_iflag & IXON) != 0, row.xonXoff);
    EXPECT_EQ((line.c_iflag & IXOFF) != 0, row.xonXoff);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, QtSerialLine,
    ::testing::Values(LineRow{"Com3_38400_E_8_1_XonXoff", &Form1::com_BR_38400, &Form1::com_HS_SW, &Form1::com_PK_EVEN,
                              B38400, "38400,E,8,1", true},
                      LineRow{"StartChoices_115200_N_DtrDsr", &Form1::com_BR_115200, &Form1::com_HS_HW,
                              &Form1::com_PK_NONE, B115200, "115200,N,8,1", false},
                      LineRow{"Slowest_9600_N", &Form1::com_BR_9600, &Form1::com_HS_HW, &Form1::com_PK_NONE, B9600,
                              "9600,N,8,1", false}),
    RowName{});

struct ReplyRow {
    const char* name;
    std::vector<std::string> parts;
    std::string reply;
};

class QtSerialReply : public QtSerial, public ::testing::WithParamInterface<ReplyRow> {};

TEST_P(QtSerialReply, RoundTripThroughSendCommand)
{
    ASSERT_TRUE(real.openPort(true));
    answerOnWait(GetParam().parts);
    EXPECT_EQ(real.send(kQuery, "R"), GetParam().reply);
    EXPECT_EQ(m_sent, std::string("\x1dI1"));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, QtSerialReply,
    ::testing::Values(ReplyRow{"Whole", {std::string("_30\0", 4)}, std::string("30\0", 3)},
                      ReplyRow{"SplitInThree", {"_", "3", std::string("0\0", 2)}, std::string("30\0", 3)},
                      ReplyRow{"SecondUnderscoreStays", {"_KR", "_5050"}, "KR_5050"},
                      ReplyRow{"NoUnderscoreReturnedWhole", {"KR-", "5050"}, "KR-5050"},
                      ReplyRow{"BinaryBytesSurvive", {std::string("_\x11\x13\xff\r\n", 6)},
                               std::string("\x11\x13\xff\r\n", 5)},
                      ReplyRow{"Silent", {}, ""}),
    RowName{});

TEST_F(QtSerial, WriteSendsEveryByteAndReadsNothing)
{
    ASSERT_TRUE(real.openPort(true));
    const Bytes command{29, 103, 56, 0, 255, 13, 10};
    EXPECT_EQ(real.send(command, "W"), "");
    EXPECT_EQ(pty.readSent(command.size()), std::string(command.begin(), command.end()));
}

TEST_F(QtSerial, ReopenAndCloseWithoutMessages)
{
    ASSERT_TRUE(real.openPort(true));
    EXPECT_TRUE(real.openPort(true)); // closes and opens again
    EXPECT_TRUE(real.serial.portOpen());
    EXPECT_TRUE(real.openPort(false));
    EXPECT_FALSE(real.serial.portOpen());
    EXPECT_TRUE(real.openPort(false));
    EXPECT_TRUE(real.boxes.shown.empty());
}

TEST_F(QtSerial, RepliesAfterReopenAreStillSeen)
{
    ASSERT_TRUE(real.openPort(true));
    ASSERT_TRUE(real.openPort(true));
    answerOnWait({"_1"});
    EXPECT_EQ(real.send(kQuery, "R"), "1");
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
    RealLink real{{{kPort, path}}};
    real.choose("COM3");
    EXPECT_FALSE(real.openPort(true));
    EXPECT_FALSE(real.serial.portOpen());
    ASSERT_EQ(real.boxes.shown.size(), 1u);
    EXPECT_EQ(real.boxes.shown[0].text,
              "The COM3 can not OPEN !!\r\rPlease check that whether <printer driver> or <other application> occupy it !");
    EXPECT_EQ(real.boxes.shown[0].icon, MsgIcon::Critical);
}

INSTANTIATE_TEST_SUITE_P(Rows, QtSerialUnopenable,
                         ::testing::Values(UnopenableRow{"Absent", "no-such-tty", false},
                                           UnopenableRow{"RegularFile", "plain-file", true},
                                           UnopenableRow{"Directory", "/", false}),
                         RowName{});

// ---- The adapter's tables -----------------------------------------------------

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
