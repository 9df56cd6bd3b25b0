// OpenPort and OpenParallel on the fakes: the serial settings text, the two
// serial messages, the parallel error box and the TCP connect sequence.

#include "linkfixture.h"

namespace softswitch::testing {
namespace {

using namespace std::chrono_literals;

const std::string kOpenFailText = "The COM3 can not OPEN !!\r\r"
                                  "Please check that whether <printer driver> or <other application> occupy it !";
const std::string kBusyText = "The COM3 port is busy...\r\n\r\nPlease double check the printer cable status.";

// ---- Serial -------------------------------------------------------------

struct SerialSettingsRow {
    const char* name;
    const char* portName;
    Control Form1::*baud; // nullptr: no baud button selected
    Control Form1::*handshake;
    Control Form1::*parity; // nullptr: no parity button selected
    int expectedPort;
    const char* expectedSettings;
    int expectedHandshaking;
};

class SerialSettings : public LinkTest, public ::testing::WithParamInterface<SerialSettingsRow> {};

TEST_P(SerialSettings, AppliedOnOpen)
{
    const SerialSettingsRow& row = GetParam();
    choose(row.portName);
    for (Control* c : {&form.com_BR_115200, &form.com_BR_38400, &form.com_BR_19200, &form.com_BR_9600,
                       &form.com_PK_EVEN, &form.com_PK_NONE})
        c->setValue(false);
    if (row.baud)
        (form.*row.baud).setValue(true);
    (form.*row.handshake).setValue(true);
    if (row.parity)
        (form.*row.parity).setValue(true);

    EXPECT_TRUE(openPort(true));
    EXPECT_EQ(fake.serial.port, row.expectedPort);
    EXPECT_EQ(fake.serial.settingsText, row.expectedSettings);
    EXPECT_EQ(fake.serial.handshaking, row.expectedHandshaking);
    EXPECT_TRUE(fake.serial.open);
    EXPECT_TRUE(fake.boxes.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SerialSettings,
    ::testing::Values(
        SerialSettingsRow{"StartChoices", "COM1", &Form1::com_BR_115200, &Form1::com_HS_HW, &Form1::com_PK_NONE, 1,
                          "115200,N,8,1", 2},
        SerialSettingsRow{"Com3_38400_XonXoff_Even", "COM3", &Form1::com_BR_38400, &Form1::com_HS_SW,
                          &Form1::com_PK_EVEN, 3, "38400,E,8,1", 1},
        SerialSettingsRow{"Com12_19200", "COM12", &Form1::com_BR_19200, &Form1::com_HS_HW, &Form1::com_PK_NONE, 12,
                          "19200,N,8,1", 2},
        SerialSettingsRow{"Com16_9600_Even", "COM16", &Form1::com_BR_9600, &Form1::com_HS_HW, &Form1::com_PK_EVEN, 16,
                          "9600,E,8,1", 2},
        SerialSettingsRow{"NoBaudSelectedLeavesItEmpty", "COM2", nullptr, &Form1::com_HS_HW, &Form1::com_PK_NONE, 2,
                          ",N,8,1", 2},
        SerialSettingsRow{"NoParitySelectedLeavesItEmpty", "COM2", &Form1::com_BR_9600, &Form1::com_HS_SW, nullptr, 2,
                          "9600,,8,1", 1}),
    RowName{});

TEST_F(LinkTest, SerialOpenOfAnOpenPortClosesAndReopensSilently)
{
    choose("COM3");
    fake.serial.open = true;
    EXPECT_TRUE(openPort(true));
    EXPECT_EQ(fake.serial.closeCalls, 1);
    EXPECT_EQ(fake.serial.openCalls, 1);
    EXPECT_TRUE(fake.serial.open);
    EXPECT_TRUE(fake.boxes.shown.empty());
}

TEST_F(LinkTest, SerialOpenRefusedShowsOpenMessageWithTwoCarriageReturns)
{
    choose("COM3");
    fake.serial.refuseOpen = true;
    EXPECT_FALSE(openPort(true));
    ASSERT_EQ(fake.boxes.shown.size(), 1u);
    const auto& box = fake.boxes.shown[0];
    EXPECT_EQ(box.text, kOpenFailText);
    EXPECT_EQ(box.icon, MsgIcon::Critical);
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
    EXPECT_EQ(box.title, kAppTitle);
    EXPECT_FALSE(fake.serial.open);
}

TEST_F(LinkTest, SerialCloseRefusedShowsCloseMessageAndLeavesPortOpen)
{
    choose("COM3");
    fake.serial.port = 3;
    fake.serial.open = true;
    fake.serial.refuseClose = true;
    EXPECT_FALSE(openPort(false));
    ASSERT_EQ(fake.boxes.shown.size(), 1u);
    EXPECT_EQ(fake.boxes.shown[0].text,
              "The COM3 can not CLOSE !!\r\rPlease check that whether <printer driver> or <other application> occupy it !");
    EXPECT_EQ(fake.boxes.shown[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(fake.serial.open);
}

TEST_F(LinkTest, SerialCloseOfAClosedPortDoesNothing)
{
    choose("COM3");
    EXPECT_TRUE(openPort(false));
    EXPECT_EQ(fake.serial.openCalls, 0);
    EXPECT_EQ(fake.serial.closeCalls, 0);
    EXPECT_TRUE(fake.boxes.shown.empty());
}

TEST_F(LinkTest, SerialPortNameWithoutNumberKeepsThePreviousPort)
{
    choose("COMx");
    fake.serial.port = 7;
    fake.serial.refuseOpen = true;
    EXPECT_FALSE(openPort(true));
    EXPECT_EQ(fake.serial.port, 7);
    ASSERT_EQ(fake.boxes.shown.size(), 1u);
    EXPECT_EQ(fake.boxes.shown[0].text.substr(0, 22), "The COM7 can not OPEN ");
}

struct LinesRow {
    const char* name;
    bool dsr;
    bool cts;
    bool busy;
};

class SerialLines : public LinkTest, public ::testing::WithParamInterface<LinesRow> {};

TEST_P(SerialLines, BusyUnlessDsrAndCtsAsserted)
{
    choose("COM3");
    fake.serial.dsr = GetParam().dsr;
    fake.serial.cts = GetParam().cts;
    EXPECT_EQ(openPort(true), !GetParam().busy);
    EXPECT_TRUE(fake.serial.open); // the port stays open either way
    if (GetParam().busy) {
        ASSERT_EQ(fake.boxes.shown.size(), 1u);
        EXPECT_EQ(fake.boxes.shown[0].text, kBusyText);
        EXPECT_EQ(fake.boxes.shown[0].icon, MsgIcon::Critical);
        EXPECT_EQ(fake.boxes.shown[0].title, kAppTitle);
    } else {
        EXPECT_TRUE(fake.boxes.shown.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, SerialLines,
                         ::testing::Values(LinesRow{"BothUp", true, true, false}, LinesRow{"DsrDown", false, true, true},
                                           LinesRow{"CtsDown", true, false, true},
                                           LinesRow{"BothDown", false, false, true}),
                         RowName{});

TEST_F(LinkTest, SerialLinesAreNotCheckedWhenClosing)
{
    choose("COM3");
    fake.serial.open = true;
    fake.serial.dsr = false;
    EXPECT_TRUE(openPort(false));
    EXPECT_TRUE(fake.boxes.shown.empty());
}

// ---- USB and parallel -----------------------------------------------------

TEST_F(LinkTest, UsbOpenAndCloseTouchNothing)
{
    choose("USB");
    EXPECT_TRUE(openPort(true));
    EXPECT_TRUE(openPort(false));
    EXPECT_EQ(fake.serial.openCalls + fake.serial.closeCalls, 0);
    EXPECT_EQ(fake.socket.connects + fake.socket.closes, 0);
    EXPECT_TRUE(fake.parallel.history.empty());
    EXPECT_TRUE(fake.usb.calls.empty());
    EXPECT_TRUE(fake.loop.sleeps.empty());
    EXPECT_FALSE(fake.timer.enabled);
}

TEST_F(LinkTest, ParallelOpensForWritingAndClosesWithoutMessage)
{
    choose("LPT1");
    EXPECT_TRUE(openPort(true));
    EXPECT_EQ(fake.parallel.history, (std::vector<std::string>{"close", "open W"}));
    EXPECT_TRUE(openPort(false));
    EXPECT_EQ(fake.parallel.history, (std::vector<std::string>{"close", "open W", "close"}));
    EXPECT_TRUE(fake.boxes.shown.empty());
}

struct ParallelErrorRow {
    const char* name;
    int number;
    const char* expected;
};

class ParallelError : public LinkTest, public ::testing::WithParamInterface<ParallelErrorRow> {};

TEST_P(ParallelError, ShownWithoutIconAndOkStaysTrue)
{
    choose("LPT1");
    fake.parallel.refuseOpen = true;
    fake.parallel.openError = {GetParam().number, "No such device", ""};
    EXPECT_TRUE(openPort(true));
    ASSERT_EQ(fake.boxes.shown.size(), 1u);
    EXPECT_EQ(fake.boxes.shown[0].text, GetParam().expected);
    EXPECT_EQ(fake.boxes.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(fake.boxes.shown[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(fake.boxes.shown[0].title, kAppTitle);
}

INSTANTIATE_TEST_SUITE_P(Rows, ParallelError,
                         ::testing::Values(ParallelErrorRow{"PositiveGetsBlank", 19, "Error no  19: No such device"},
                                           ParallelErrorRow{"ZeroGetsBlank", 0, "Error no  0: No such device"},
                                           ParallelErrorRow{"NegativeHasNoBlank", -5, "Error no -5: No such device"}),
                         RowName{});

TEST_F(LinkTest, OpenParallelForReadingOpensReadOnly)
{
    link.OpenParallel(true, "R");
    link.OpenParallel(true, "r"); // only "R" reads
    link.OpenParallel(false, "R");
    EXPECT_EQ(fake.parallel.history, (std::vector<std::string>{"close", "open R", "close", "open W", "close"}));
}

// ---- TCP ----------------------------------------------------------------

TEST_F(LinkTest, TcpOpenConnectsShowsConnectingAndStartsTimer)
{
    choose("TCP/IP");
    form.tcpIP.Text = "127.0.0.1";
    EXPECT_TRUE(openPort(true));
    EXPECT_EQ(fake.socket.closes, 0); // nothing was in use
    EXPECT_EQ(fake.socket.connects, 1);
    EXPECT_EQ(fake.socket.host, "127.0.0.1");
    EXPECT_EQ(fake.socket.port, 9100);
    EXPECT_EQ(form.txtSTATUS.Text, "Connecting...");
    EXPECT_EQ(form.txtSTATUS.ForeColor, kBlack);
    EXPECT_EQ(state.LastTcpState, 6);
    // The refresh settles 5 ms (the state differs from the forced -1), then 10 ms after connecting.
    EXPECT_EQ(fake.loop.sleeps, (Sleeps{5ms, 10ms}));
    EXPECT_TRUE(fake.timer.enabled);
    EXPECT_EQ(fake.timer.interval, 3000ms);
    EXPECT_TRUE(form.Timer1.Enabled);
    EXPECT_TRUE(fake.boxes.shown.empty());
}

TEST_F(LinkTest, TcpOpenDiscardsStaleData)
{
    choose("TCP/IP");
    fake.socket.inbox = "_old";
    openPort(true);
    EXPECT_TRUE(fake.socket.inbox.empty());
}

TEST_F(LinkTest, TcpOpenAnsweredAtOnceShowsConnectedInDarkBlue)
{
    choose("TCP/IP");
    fake.socket.stateAfterConnect = 7;
    openPort(true);
    EXPECT_EQ(form.txtSTATUS.Text, "Connected");
    EXPECT_EQ(form.txtSTATUS.ForeColor, 0x0000C0u);
}

TEST_F(LinkTest, TcpOpenTwiceClosesTheFirstSocket)
{
    choose("TCP/IP");
    openPort(true);
    EXPECT_EQ(fake.socket.closes, 0);
    openPort(true);
    EXPECT_EQ(fake.socket.closes, 1);
    EXPECT_EQ(fake.socket.connects, 2);
    // The second open rewrites the box even though the state is 6 again.
    EXPECT_EQ(fake.loop.sleeps, (Sleeps{5ms, 10ms, 5ms, 10ms}));
}

struct RemotePortRow {
    const char* name;
    const char* text;
    int expected;
};

class TcpRemotePort : public LinkTest, public ::testing::WithParamInterface<RemotePortRow> {};

TEST_P(TcpRemotePort, NonNumbersKeepThePreviousPort)
{
    choose("TCP/IP");
    fake.socket.port = 4321;
    form.tcpListenPort.Text = GetParam().text;
    openPort(true);
    EXPECT_EQ(fake.socket.port, GetParam().expected);
    EXPECT_EQ(fake.socket.connects, 1);
}

INSTANTIATE_TEST_SUITE_P(Rows, TcpRemotePort,
                         ::testing::Values(RemotePortRow{"Plain", "9100", 9100}, RemotePortRow{"Blanks", " 9101 ", 9101},
                                           RemotePortRow{"Letters", "abc", 4321},
                                           RemotePortRow{"TrailingLetters", "91x0", 4321},
                                           RemotePortRow{"Empty", "", 4321},
                                           RemotePortRow{"OutOfRange", "70000", 4321}),
                         RowName{});

TEST_F(LinkTest, TcpCloseStopsTimerAndShowsDisconnect)
{
    choose("TCP/IP");
    fake.socket.stateAfterConnect = 7;
    openPort(true);
    fake.loop.sleeps.clear();
    EXPECT_TRUE(openPort(false));
    EXPECT_EQ(fake.socket.closes, 1);
    EXPECT_FALSE(fake.timer.enabled);
    EXPECT_FALSE(form.Timer1.Enabled);
    EXPECT_EQ(form.txtSTATUS.Text, "Disconnect");
    EXPECT_EQ(form.txtSTATUS.ForeColor, 0xFF0000u);
    EXPECT_EQ(fake.loop.sleeps, (Sleeps{5ms}));
}

TEST_F(LinkTest, ClosingEachLinkTwiceIsHarmless)
{
    for (const char* port : {"COM1", "LPT1", "TCP/IP", "USB"}) {
        choose(port);
        EXPECT_TRUE(openPort(false)) << port;
        EXPECT_TRUE(openPort(false)) << port;
    }
    EXPECT_TRUE(fake.boxes.shown.empty());
}

} // namespace
} // namespace softswitch::testing
