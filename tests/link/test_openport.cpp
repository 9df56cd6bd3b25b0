// OpenPort, OpenParallel and the status refresh on the fakes: the serial
// settings text and messages, the parallel error box, the TCP connect
// sequence and the status box.

#include "linkcalls.h"

namespace softswitch::testing {
namespace {

// ---- Serial ---------------------------------------------------------------

TEST_F(LinkTest, SerialSettingsAppliedOnOpen)
{
    using F = Form1;
    // Port name; baud, handshake and parity buttons (nullptr: none selected); port, settings text, handshaking.
    const std::tuple<const char*, Control F::*, Control F::*, Control F::*, int, const char*, int> rows[] = {
        {"COM1", &F::com_BR_115200, &F::com_HS_HW, &F::com_PK_NONE, 1, "115200,N,8,1", 2},
        {"COM3", &F::com_BR_38400, &F::com_HS_SW, &F::com_PK_EVEN, 3, "38400,E,8,1", 1},
        {"COM12", &F::com_BR_19200, &F::com_HS_HW, &F::com_PK_NONE, 12, "19200,N,8,1", 2},
        {"COM16", &F::com_BR_9600, &F::com_HS_HW, &F::com_PK_EVEN, 16, "9600,E,8,1", 2},
        {"COM2", nullptr, &F::com_HS_HW, &F::com_PK_NONE, 2, ",N,8,1", 2},
        {"COM2", &F::com_BR_9600, &F::com_HS_SW, nullptr, 2, "9600,,8,1", 1}};
    for (const auto& [portName, baud, handshake, parity, port, settings, handshaking] : rows) {
        choose(portName);
        for (Control* c : {&form.com_BR_115200, &form.com_BR_38400, &form.com_BR_19200, &form.com_BR_9600,
                           &form.com_PK_EVEN, &form.com_PK_NONE})
            c->setValue(false);
        for (Control F::*button : {baud, handshake, parity})
            if (button)
                (form.*button).setValue(true);
        EXPECT_TRUE(openPort(true));
        EXPECT_EQ(std::tie(fake.serial.port, fake.serial.settingsText, fake.serial.handshaking, fake.serial.open),
                  std::make_tuple(port, settings, handshaking, true));
    }
    EXPECT_TRUE(fake.boxes.shown.empty());
}

const std::string kOccupied = " !!\r\rPlease check that whether <printer driver> or <other application> occupy it !";
const std::string kOpenFail3 = "The COM3 can not OPEN" + kOccupied, kOpenFail7 = "The COM7 can not OPEN" + kOccupied;
const std::string kCloseFail3 = "The COM3 can not CLOSE" + kOccupied;
const std::string kBusy3 = "The COM3 port is busy...\r\n\r\nPlease double check the printer cable status.";

TEST_F(LinkTest, SerialOpenAndCloseOutcomes)
{
    struct Row {
        const char* name;
        const char* portName;
        bool startOpen, wanted, refuseOpen, refuseClose, dsr, cts, openAfter;
        int opens, closes;   // -1: not counted
        std::string message; // empty: ok and no box; otherwise ok false and this stop box
    };
    const Row rows[] = {
        {"ReopenClosesFirstSilently", "COM3", true, true, false, false, true, true, true, 1, 1, ""},
        {"CloseOfAClosedPortTouchesNothing", "COM3", false, false, false, false, true, true, false, 0, 0, ""},
        {"LinesNotCheckedWhenClosing", "COM3", true, false, false, false, false, false, false, -1, -1, ""},
        {"OpenRefused", "COM3", false, true, true, false, true, true, false, -1, -1, kOpenFail3},
        {"CloseRefusedLeavesThePortOpen", "COM3", true, false, false, true, true, true, true, -1, -1, kCloseFail3},
        {"NamelessPortKeepsThePreviousNumber", "COMx", false, true, true, false, true, true, false, -1, -1, kOpenFail7},
        {"DsrDownIsBusyAndStaysOpen", "COM3", false, true, false, false, false, true, true, -1, -1, kBusy3},
        {"CtsDownIsBusyAndStaysOpen", "COM3", false, true, false, false, true, false, true, -1, -1, kBusy3},
        {"BothDownIsBusyAndStaysOpen", "COM3", false, true, false, false, false, false, true, -1, -1, kBusy3},
    };
    for (const Row& row : rows) {
        choose(row.portName);
        fake.serial = FakeSerial{};
        fake.boxes.shown.clear();
        fake.serial.port = 7; // left by an earlier open: "COM3" replaces it, "COMx" keeps it
        fake.serial.open = row.startOpen;
        fake.serial.refuseOpen = row.refuseOpen;
        fake.serial.refuseClose = row.refuseClose;
        fake.serial.dsr = row.dsr;
        fake.serial.cts = row.cts;
        EXPECT_EQ(openPort(row.wanted), row.message.empty()) << row.name;
        EXPECT_EQ(fake.serial.open, row.openAfter) << row.name;
        if (row.opens >= 0) {
            EXPECT_EQ(std::tie(fake.serial.openCalls, fake.serial.closeCalls), std::tie(row.opens, row.closes)) << row.name;
        }
        if (row.message.empty()) {
            EXPECT_TRUE(fake.boxes.shown.empty()) << row.name;
        } else {
            expectOneBox(fake.boxes, row.message, MsgIcon::Critical);
        }
    }
}

// ---- USB and parallel -----------------------------------------------------

TEST_F(LinkTest, UsbOpenAndCloseTouchNothing)
{
    choose("USB");
    EXPECT_TRUE(openPort(true));
    EXPECT_TRUE(openPort(false));
    EXPECT_EQ(fake.serial.openCalls + fake.serial.closeCalls + fake.socket.connects + fake.socket.closes, 0);
    EXPECT_TRUE(fake.parallel.history.empty() && fake.usb.calls.empty() && fake.loop.sleeps.empty());
    EXPECT_FALSE(fake.timer.enabled);
}

TEST_F(LinkTest, ParallelOpensForWritingClosesAndReadsOnlyForCapitalR)
{
    choose("LPT1");
    EXPECT_TRUE(openPort(true));
    EXPECT_TRUE(openPort(false));
    link.OpenParallel(true, "R");
    link.OpenParallel(true, "r");
    EXPECT_EQ(fake.parallel.history,
              (std::vector<std::string>{"close", "open W", "close", "close", "open R", "close", "open W"}));
    EXPECT_TRUE(fake.boxes.shown.empty());
}

TEST_F(LinkTest, ParallelErrorIsShownWithoutIconAndOkStaysTrue)
{
    choose("LPT1");
    fake.parallel.refuseOpen = true;
    const std::pair<int, const char*> rows[] = {{0, "Error no  0: No such device"}, {-5, "Error no -5: No such device"}};
    for (const auto& [number, expected] : rows) {
        fake.boxes.shown.clear();
        fake.parallel.openError = {number, "No such device", ""};
        EXPECT_TRUE(openPort(true));
        expectOneBox(fake.boxes, expected, MsgIcon::None);
    }
}

// ---- TCP ------------------------------------------------------------------

TEST_F(LinkTest, TcpOpenConnectsDiscardsStaleDataShowsConnectingStartsTimerAndReopens)
{
    choose("TCP/IP");
    form.tcpIP.Text = "127.0.0.1";
    fake.socket.inbox = "_old";
    EXPECT_TRUE(openPort(true));
    EXPECT_EQ(std::tie(fake.socket.closes, fake.socket.connects, fake.socket.host, fake.socket.port),
              std::make_tuple(0, 1, "127.0.0.1", 9100)); // nothing was in use
    EXPECT_TRUE(fake.socket.inbox.empty());
    EXPECT_EQ(std::tie(form.txtSTATUS.Text, form.txtSTATUS.ForeColor), std::make_tuple("Connecting...", kBlack));
    EXPECT_EQ(state.LastTcpState, 6);
    // The refresh settles 5 ms (the state differs from the forced -1), then 10 ms after connecting.
    EXPECT_EQ(fake.loop.sleeps, (Sleeps{5ms, 10ms}));
    EXPECT_EQ(std::tie(fake.timer.enabled, fake.timer.interval), std::make_tuple(true, 3000ms));
    EXPECT_TRUE(form.Timer1.enabled());
    EXPECT_TRUE(fake.boxes.shown.empty());

    openPort(true); // again: the first socket is closed, and the box rewritten though the state is 6 again
    EXPECT_EQ(std::tie(fake.socket.closes, fake.socket.connects), std::make_tuple(1, 2));
    EXPECT_EQ(fake.loop.sleeps, (Sleeps{5ms, 10ms, 5ms, 10ms}));
}

TEST_F(LinkTest, TcpOpenAnsweredAtOnceShowsConnectedAndCloseShowsDisconnect)
{
    choose("TCP/IP");
    fake.socket.stateAfterConnect = 7;
    openPort(true);
    EXPECT_EQ(std::tie(form.txtSTATUS.Text, form.txtSTATUS.ForeColor), std::make_tuple("Connected", 0x0000C0u));
    fake.loop.sleeps.clear();
    EXPECT_TRUE(openPort(false));
    EXPECT_EQ(fake.socket.closes, 1);
    EXPECT_FALSE(fake.timer.enabled || form.Timer1.enabled());
    EXPECT_EQ(std::tie(form.txtSTATUS.Text, form.txtSTATUS.ForeColor), std::make_tuple("Disconnect", 0xFF0000u));
    EXPECT_EQ(fake.loop.sleeps, (Sleeps{5ms}));
}

TEST_F(LinkTest, TcpRemotePortKeepsItsValueWhenTheTextIsNoPortNumber)
{
    choose("TCP/IP");
    const std::pair<const char*, int> rows[] = {{"9100", 9100}, {" 9101 ", 9101}, {"abc", 9101},
                                                {"91x0", 9101}, {"", 9101},       {"70000", 9101}};
    for (const auto& [text, expected] : rows) {
        form.tcpListenPort.Text = text;
        openPort(true);
        EXPECT_EQ(fake.socket.port, expected) << '"' << text << '"';
    }
    EXPECT_EQ(fake.socket.connects, 6);
}

// ---- Status refresh -------------------------------------------------------

TEST_F(LinkTest, StatusTextAndColourFollowTheSocketState)
{
    const std::tuple<int, const char*, std::uint32_t> rows[] = {
        {0, "Disconnect", 0xFF0000}, {6, "Connecting...", 0x000000}, {7, "Connected", 0x0000C0},
        {4, "unknown", 0x000000},    {8, "unknown", 0x000000},       {1, "unknown", 0x000000}};
    for (const auto& [socketState, text, colour] : rows) {
        state.LastTcpState = -1;
        form.txtSTATUS.ForeColor = 0x123456;
        fake.socket.stateNumber = socketState;
        link.StatusRefresh();
        EXPECT_EQ(std::tie(form.txtSTATUS.Text, form.txtSTATUS.ForeColor), std::make_tuple(text, colour)) << socketState;
        EXPECT_EQ(state.LastTcpState, socketState);
    }
}

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
