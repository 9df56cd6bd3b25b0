// OpenPort, OpenParallel and the status refresh on the fakes: the serial
// settings text and messages, the parallel error box, the TCP connect
// sequence and the status box.

#include "linkfixture.h"

namespace softswitch::testing {
namespace {

// ---- Serial ---------------------------------------------------------------

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
        c->setValue(false); // the window starts with 115200 and NONE selected
    for (Control Form1::*button : {row.baud, row.handshake, row.parity})
        if (button)
            (form.*button).setValue(true);

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

const char* const kOpenFail3 =
    "The COM3 can not OPEN !!\r\rPlease check that whether <printer driver> or <other application> occupy it !";
const char* const kCloseFail3 =
    "The COM3 can not CLOSE !!\r\rPlease check that whether <printer driver> or <other application> occupy it !";
const char* const kOpenFail7 =
    "The COM7 can not OPEN !!\r\rPlease check that whether <printer driver> or <other application> occupy it !";
const char* const kBusy3 = "The COM3 port is busy...\r\n\r\nPlease double check the printer cable status.";

struct SerialCase {
    const char* name = "";
    const char* portName = "COM3";
    bool startOpen = false;
    bool wanted = true;
    bool refuseOpen = false;
    bool refuseClose = false;
    bool dsr = true;
    bool cts = true;
    bool openAfter = true;
    int opens = -1; // -1: calls not counted
    int closes = -1;
    const char* message = ""; // empty: ok and no box; otherwise ok false and this stop box
};

class SerialOpenClose : public LinkTest, public ::testing::WithParamInterface<SerialCase> {};

TEST_P(SerialOpenClose, OkAndMessage)
{
    const SerialCase& row = GetParam();
    choose(row.portName);
    fake.serial.port = 7; // left by an earlier open: "COM3" replaces it, "COMx" keeps it
    fake.serial.open = row.startOpen;
    fake.serial.refuseOpen = row.refuseOpen;
    fake.serial.refuseClose = row.refuseClose;
    fake.serial.dsr = row.dsr;
    fake.serial.cts = row.cts;

    const bool failed = *row.message != '\0';
    EXPECT_EQ(openPort(row.wanted), !failed);
    EXPECT_EQ(fake.serial.open, row.openAfter);
    if (row.opens >= 0) {
        EXPECT_EQ(fake.serial.openCalls, row.opens);
        EXPECT_EQ(fake.serial.closeCalls, row.closes);
    }
    if (!failed) {
        EXPECT_TRUE(fake.boxes.shown.empty());
        return;
    }
    expectOneBox(fake.boxes, row.message, MsgIcon::Critical);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SerialOpenClose,
    ::testing::Values(
        SerialCase{.name = "ReopenClosesFirstSilently", .startOpen = true, .opens = 1, .closes = 1},
        SerialCase{.name = "CloseOfAClosedPortTouchesNothing", .wanted = false, .openAfter = false, .opens = 0,
                   .closes = 0},
        SerialCase{.name = "LinesNotCheckedWhenClosing", .startOpen = true, .wanted = false, .dsr = false,
                   .cts = false, .openAfter = false},
        SerialCase{.name = "OpenRefused", .refuseOpen = true, .openAfter = false, .message = kOpenFail3},
        SerialCase{.name = "CloseRefusedLeavesThePortOpen", .startOpen = true, .wanted = false, .refuseClose = true,
                   .message = kCloseFail3},
        SerialCase{.name = "NamelessPortKeepsThePreviousNumber", .portName = "COMx", .refuseOpen = true,
                   .openAfter = false, .message = kOpenFail7},
        SerialCase{.name = "DsrDownIsBusyAndStaysOpen", .dsr = false, .message = kBusy3},
        SerialCase{.name = "CtsDownIsBusyAndStaysOpen", .cts = false, .message = kBusy3},
        SerialCase{.name = "BothDownIsBusyAndStaysOpen", .dsr = false, .cts = false, .message = kBusy3}),
    RowName{});

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

TEST_F(LinkTest, ParallelOpensForWritingClosesAndReadsOnlyForCapitalR)
{
    choose("LPT1");
    EXPECT_TRUE(openPort(true));
    EXPECT_TRUE(openPort(false));
    EXPECT_EQ(fake.parallel.history, (std::vector<std::string>{"close", "open W", "close"}));
    fake.parallel.history.clear();
    link.OpenParallel(true, "R");
    link.OpenParallel(true, "r");
    EXPECT_EQ(fake.parallel.history, (std::vector<std::string>{"close", "open R", "close", "open W"}));
    EXPECT_TRUE(fake.boxes.shown.empty());
}

struct ParallelErrorRow { const char* name; int number; const char* expected; };

class ParallelError : public LinkTest, public ::testing::WithParamInterface<ParallelErrorRow> {};

TEST_P(ParallelError, ShownWithoutIconAndOkStaysTrue)
{
    choose("LPT1");
    fake.parallel.refuseOpen = true;
    fake.parallel.openError = {GetParam().number, "No such device", ""};
    EXPECT_TRUE(openPort(true));
    expectOneBox(fake.boxes, GetParam().expected, MsgIcon::None);
}

INSTANTIATE_TEST_SUITE_P(Rows, ParallelError,
                         ::testing::Values(ParallelErrorRow{"PositiveGetsBlank", 19, "Error no  19: No such device"},
                                           ParallelErrorRow{"ZeroGetsBlank", 0, "Error no  0: No such device"},
                                           ParallelErrorRow{"NegativeHasNoBlank", -5, "Error no -5: No such device"}),
                         RowName{});

// ---- TCP ------------------------------------------------------------------

TEST_F(LinkTest, TcpOpenConnectsDiscardsStaleDataShowsConnectingStartsTimerAndReopens)
{
    choose("TCP/IP");
    form.tcpIP.Text = "127.0.0.1";
    fake.socket.inbox = "_old";
    EXPECT_TRUE(openPort(true));
    EXPECT_EQ(fake.socket.closes, 0); // nothing was in use
    EXPECT_EQ(fake.socket.connects, 1);
    EXPECT_EQ(fake.socket.host, "127.0.0.1");
    EXPECT_EQ(fake.socket.port, 9100);
    EXPECT_TRUE(fake.socket.inbox.empty());
    EXPECT_EQ(form.txtSTATUS.Text, "Connecting...");
    EXPECT_EQ(form.txtSTATUS.ForeColor, kBlack);
    EXPECT_EQ(state.LastTcpState, 6);
    // The refresh settles 5 ms (the state differs from the forced -1), then 10 ms after connecting.
    EXPECT_EQ(fake.loop.sleeps, (Sleeps{5ms, 10ms}));
    EXPECT_TRUE(fake.timer.enabled);
    EXPECT_EQ(fake.timer.interval, 3000ms);
    EXPECT_TRUE(form.Timer1.enabled());
    EXPECT_TRUE(fake.boxes.shown.empty());

    openPort(true); // again: the first socket is closed, and the box rewritten though the state is 6 again
    EXPECT_EQ(fake.socket.closes, 1);
    EXPECT_EQ(fake.socket.connects, 2);
    EXPECT_EQ(fake.loop.sleeps, (Sleeps{5ms, 10ms, 5ms, 10ms}));
}

TEST_F(LinkTest, TcpOpenAnsweredAtOnceShowsConnectedAndCloseShowsDisconnect)
{
    choose("TCP/IP");
    fake.socket.stateAfterConnect = 7;
    openPort(true);
    EXPECT_EQ(form.txtSTATUS.Text, "Connected");
    EXPECT_EQ(form.txtSTATUS.ForeColor, 0x0000C0u);
    fake.loop.sleeps.clear();
    EXPECT_TRUE(openPort(false));
    EXPECT_EQ(fake.socket.closes, 1);
    EXPECT_FALSE(fake.timer.enabled);
    EXPECT_FALSE(form.Timer1.enabled());
    EXPECT_EQ(form.txtSTATUS.Text, "Disconnect");
    EXPECT_EQ(form.txtSTATUS.ForeColor, 0xFF0000u);
    EXPECT_EQ(fake.loop.sleeps, (Sleeps{5ms}));
}

struct RemotePortRow { const char* name; const char* text; int expected; };

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

// ---- Status refresh -------------------------------------------------------

struct StatusRow { const char* name; int socketState; const char* text; std::uint32_t colour; };

class StatusLook : public LinkTest, public ::testing::WithParamInterface<StatusRow> {};

TEST_P(StatusLook, TextAndColourFromTheTable)
{
    state.LastTcpState = -1;
    form.txtSTATUS.Text = "stale";
    form.txtSTATUS.ForeColor = 0x123456;
    fake.socket.stateNumber = GetParam().socketState;
    link.StatusRefresh();
    EXPECT_EQ(form.txtSTATUS.Text, GetParam().text);
    EXPECT_EQ(form.txtSTATUS.ForeColor, GetParam().colour);
    EXPECT_EQ(state.LastTcpState, GetParam().socketState);
}

INSTANTIATE_TEST_SUITE_P(Rows, StatusLook,
                         ::testing::Values(StatusRow{"Closed", 0, "Disconnect", 0xFF0000},
                                           StatusRow{"Connecting", 6, "Connecting...", 0x000000},
                                           StatusRow{"Connected", 7, "Connected", 0x0000C0},
                                           StatusRow{"Resolving", 4, "unknown", 0x000000},
                                           StatusRow{"Closing", 8, "unknown", 0x000000},
                                           StatusRow{"Open", 1, "unknown", 0x000000}),
                         RowName{});

TEST_F(LinkTest, StatusRewritesOnlyOnAChangeAndShowsTheStateAfterTheSettle)
{
    link.StatusRefresh(); // at start: closed, as last shown
    EXPECT_EQ(form.txtSTATUS.Text, "");
    EXPECT_TRUE(fake.loop.sleeps.empty());
    EXPECT_EQ(fake.loop.eventBatches, 0);

    fake.socket.stateNumber = 6;
    std::size_t sleepsBeforeEvents = 0;
    fake.loop.onEvents = [&] {
        sleepsBeforeEvents = fake.loop.sleeps.size();
        fake.socket.stateNumber = 7; // the connection completed meanwhile
    };
    link.StatusRefresh();
    EXPECT_EQ(sleepsBeforeEvents, 1u);
    EXPECT_EQ(form.txtSTATUS.Text, "Connected");
    EXPECT_EQ(state.LastTcpState, 7);

    form.txtSTATUS.Text = "touched by nobody else";
    link.StatusRefresh();
    EXPECT_EQ(form.txtSTATUS.Text, "touched by nobody else");
    EXPECT_EQ(fake.loop.sleeps, (Sleeps{5ms}));
    EXPECT_EQ(fake.loop.eventBatches, 1);
}

} // namespace
} // namespace softswitch::testing
