// The printer link on the fakes, one table per routine: OpenPort (with
// OpenParallel), the status refresh and SendCommand. A row names its result
// and facts(): everything the link did to the fakes, in a few words. The fake
// clock records sleeps instead of sleeping.

#include "fakeplatform.h"
#include "form/text.h"
#include "link/context.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace softswitch::testing {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using F = Form1;

// 0, 255 and "_" among the bytes: each crosses every link unchanged.
const std::vector<std::uint8_t> kCommand{29, 103, 52, 0, 255, 95};

// The command, or its first N bytes as "cmd:N".
std::string wire(const std::string& bytes)
{
    const std::string command(kCommand.begin(), kCommand.end());
    if (bytes == command)
        return "cmd";
    return command.starts_with(bytes) ? "cmd:" + std::to_string(bytes.size()) : "?";
}
std::string wire(const std::vector<std::uint8_t>& bytes) { return wire(std::string(bytes.begin(), bytes.end())); }

// A write call, or a read call with its probe; other arguments than the exchange's are flagged.
std::string usbCall(const FakeUsb::Call& c)
{
    const bool write = c.mode == 0;
    const bool usual = c.port == "usb" && c.baud == 9600 && c.arg4 == 0
                       && (write ? c.length == static_cast<int>(c.data.size()) + 1 && c.bufferLength == 0 && c.buffer.empty()
                                 : c.mode == 5 && c.length == 1 && c.bufferLength == 32 && c.buffer == std::string(32, '\0'));
    const std::string call = write ? "USB>" + wire(c.data) : c.data == "\0"s ? "USB<nul" : c.data == " " ? "USB<blank" : "USB<?";
    return call + (usual ? "" : " (other arguments)");
}

struct World {
    Form1 form;
    SharedState state;
    FakePlatform fake;
    Context context{form, state, fake.platform()};
    Link& link = context.link;

    void choose(const std::string& portName) // what a Combo1 pick does
    {
        state.PortName = portName;
        state.PortType = linkKindOf(portName);
    }
    bool openPort(bool open)
    {
        bool ok = false;
        link.OpenPort(state.PortName, open, ok);
        return ok;
    }

    // An untouched fake says nothing; sleeps are written as runs ("1x1000").
    std::string facts() const
    {
        std::string out;
        const auto add = [&out](bool when, const std::string& fact) {
            if (when)
                out += (out.empty() ? "" : "; ") + fact;
        };
        const FakeSerial& com = fake.serial;
        add(com.openCalls + com.closeCalls > 0, "COM" + std::to_string(com.port) + (com.open ? " open " : " closed ")
                                                    + std::to_string(bitsPerSecond(com.lineSettings.baud))
                                                    + (com.lineSettings.parity == Parity::Even ? ",E" : ",N") + ",8,1 hs"
                                                    + std::to_string(static_cast<int>(com.handshaking))
                                                    + " opens " + std::to_string(com.openCalls) + " closes "
                                                    + std::to_string(com.closeCalls));
        add(!com.written.empty(), "COM>" + wire(com.written));
        add(!com.inbox.empty(), "COM unread");
        std::string history;
        for (const std::string& step : fake.parallel.history)
            history += (history.empty() ? "" : ",") + step;
        add(!history.empty(), "LPT " + history);
        for (int count : fake.parallel.readCounts)
            add(true, "LPT read " + std::to_string(count));
        add(!fake.parallel.written.empty(), "LPT>" + wire(fake.parallel.written));
        add(!fake.parallel.replies.empty(), "LPT unread");
        const FakeSocket& tcp = fake.socket;
        add(tcp.connects + tcp.closes > 0, "TCP " + tcp.host + ":" + std::to_string(tcp.port) + " connects "
                                               + std::to_string(tcp.connects) + " closes " + std::to_string(tcp.closes));
        add(!tcp.sent.empty(), "TCP>" + wire(tcp.sent));
        add(!tcp.inbox.empty(), "TCP unread");
        for (const FakeUsb::Call& call : fake.usb.calls)
            add(true, usbCall(call));
        add(!fake.usb.reads.empty(), "USB unread");
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%06X", form.txtSTATUS.ForeColor);
        add(!form.txtSTATUS.Text.empty(),
            "status " + form.txtSTATUS.Text + " " + colour + " last " + std::to_string(state.LastTcpState));
        add(fake.timer.enabled, "timer every " + std::to_string(fake.timer.interval.count()) + "ms");
        std::string sleeps;
        for (std::size_t i = 0, run = 1; i < fake.loop.sleeps.size(); i += run) {
            for (run = 1; i + run < fake.loop.sleeps.size() && fake.loop.sleeps[i + run] == fake.loop.sleeps[i];)
                ++run;
            sleeps += " " + std::to_string(fake.loop.sleeps[i].count()) + (run > 1 ? "x" + std::to_string(run) : "");
        }
        add(!sleeps.empty(), "sleeps" + sleeps);
        add(fake.loop.eventBatches > 0, "events " + std::to_string(fake.loop.eventBatches));
        for (const FakeBoxes::Shown& box : fake.boxes.shown)
            add(true, std::string("box") + (box.icon == MsgIcon::Critical ? "(stop)" : box.icon == MsgIcon::None ? "" : "(?)")
                          + (box.buttons == MsgButtons::Ok ? "" : "(yes/no)") + (box.title == kAppTitle ? "" : " " + box.title)
                          + ": " + box.text);
        return out;
    }
};

using Change = std::function<void(World&)>;

Change buttons(std::vector<std::pair<Control F::*, bool>> values)
{
    return [values](World& w) {
        for (const auto& [button, value] : values)
            (w.form.*button).setValue(value);
    };
}

const std::string kOccupied = " !!\r\rPlease check that whether <printer driver> or <other application> occupy it !";
const std::string kBusy3 = "box(stop): The COM3 port is busy...\r\n\r\nPlease double check the printer cable status.";

struct OpenRow {
    const char* name;
    const char* port;
    bool open;
    Change setup;
    bool ok;
    std::string facts;
    const char* parallelMode = nullptr; // set: the row calls OpenParallel(true, mode) instead
};

TEST(Link, OpenPort)
{
    const Change openCom = [](World& w) { w.fake.serial.open = true; };
    const OpenRow rows[] = {
        {"Com1StartChoices", "COM1", true, {}, true, "COM1 open 115200,N,8,1 hs2 opens 1 closes 0"},
        {"Com3With38400XonXoffEven", "COM3", true, buttons({{&F::com_BR_38400, true}, {&F::com_HS_SW, true},
                                                            {&F::com_PK_EVEN, true}}),
         true, "COM3 open 38400,E,8,1 hs1 opens 1 closes 0"},
        {"Com12With19200", "COM12", true, buttons({{&F::com_BR_19200, true}}), true,
         "COM12 open 19200,N,8,1 hs2 opens 1 closes 0"},
        {"Com16With9600Even", "COM16", true, buttons({{&F::com_BR_9600, true}, {&F::com_PK_EVEN, true}}), true,
         "COM16 open 9600,E,8,1 hs2 opens 1 closes 0"},
        // A group without a selected button leaves the port's settings as they were.
        {"NoBaudRateSelected", "COM2", true, buttons({{&F::com_BR_115200, false}, {&F::com_PK_EVEN, true}}), true,
         "COM2 open 9600,N,8,1 hs2 opens 1 closes 0"},
        {"NoParitySelected", "COM2", true, buttons({{&F::com_BR_38400, true}, {&F::com_HS_SW, true}, {&F::com_PK_NONE, false}}),
         true, "COM2 open 9600,N,8,1 hs1 opens 1 closes 0"},
        {"ReopenClosesFirstSilently", "COM3", true, openCom, true, "COM3 open 115200,N,8,1 hs2 opens 1 closes 1"},
        {"CloseOfAClosedPortTouchesNothing", "COM3", false, {}, true, ""},
        {"LinesNotCheckedWhenClosing", "COM3", false,
         [](World& w) { w.fake.serial.open = true, w.fake.serial.dsr = w.fake.serial.cts = false; }, true,
         "COM1 closed 9600,N,8,1 hs0 opens 0 closes 1"},
        {"CloseRefusedLeavesThePortOpen", "COM3", false,
         [](World& w) { w.fake.serial.open = w.fake.serial.refuseClose = true; }, false,
         "COM3 open 115200,N,8,1 hs2 opens 0 closes 2; box(stop): The COM3 can not CLOSE" + kOccupied},
        {"NamelessPortKeepsThePreviousNumber", "COMx", true,
         [](World& w) { w.fake.serial.port = 7, w.fake.serial.refuseOpen = true; }, false,
         "COM7 closed 115200,N,8,1 hs2 opens 1 closes 0; box(stop): The COM7 can not OPEN" + kOccupied},
        {"DsrDownIsBusyAndStaysOpen", "COM3", true, [](World& w) { w.fake.serial.dsr = false; }, false,
         "COM3 open 115200,N,8,1 hs2 opens 1 closes 0; " + kBusy3},
        {"CtsDownIsBusyAndStaysOpen", "COM3", true, [](World& w) { w.fake.serial.cts = false; }, false,
         "COM3 open 115200,N,8,1 hs2 opens 1 closes 0; " + kBusy3},
        {"UsbOpenTouchesNothing", "USB", true, {}, true, ""},
        {"UsbCloseTouchesNothing", "USB", false, {}, true, ""},
        {"LptOpensForWriting", "LPT1", true, {}, true, "LPT close,open W"},
        {"LptCloses", "LPT1", false, {}, true, "LPT close"},
        {"LptRefusedTellsTheErrorWithoutIcon", "LPT1", true,
         [](World& w) { w.fake.parallel.refuseOpen = true, w.fake.parallel.openError.number = -5; }, true,
         "LPT close,open W; box: Error no -5: File not found"},
        {"OpenParallelReadsForCapitalR", "LPT1", true, {}, true, "LPT close,open R", "R"},
        {"OpenParallelWritesForAnyOtherMode", "LPT1", true, {}, true, "LPT close,open W", "r"},
        {"TcpOpenConnectsDropsStaleDataAndShowsConnecting", "TCP/IP", true,
         [](World& w) { w.fake.socket.inbox = "_old"; }, true,
         "TCP 127.0.0.1:9100 connects 1 closes 0; status Connecting... #000000 last 6; timer every 3000ms; sleeps 5 10; "
         "events 1"},
        {"TcpReopenClosesTheFirstSocketAndRewritesTheBox", "TCP/IP", true, [](World& w) { w.openPort(true); }, true,
         "TCP 127.0.0.1:9100 connects 2 closes 1; status Connecting... #000000 last 6; timer every 3000ms; "
         "sleeps 5 10 5 10; events 2"},
        {"ListenPort65535IsAPort", "TCP/IP", true, [](World& w) { w.form.tcpListenPort.Text = "65535"; }, true,
         "TCP 127.0.0.1:65535 connects 1 closes 0; status Connecting... #000000 last 6; timer every 3000ms; sleeps 5 10; "
         "events 1"},
        {"ListenPort65536KeepsThePreviousPort", "TCP/IP", true,
         [](World& w) { w.fake.socket.port = 4000, w.form.tcpListenPort.Text = "65536"; }, true,
         "TCP 127.0.0.1:4000 connects 1 closes 0; status Connecting... #000000 last 6; timer every 3000ms; sleeps 5 10; "
         "events 1"},
        {"TcpCloseStopsTheTimerAndShowsDisconnect", "TCP/IP", false,
         [](World& w) {
             w.fake.socket.stateAfterConnect = 7;
             w.openPort(true);
             w.fake.loop.sleeps.clear();
             w.fake.loop.eventBatches = 0;
         },
         true, "TCP 127.0.0.1:9100 connects 1 closes 1; status Disconnect #FF0000 last 0; sleeps 5; events 1"},
    };
    for (const OpenRow& row : rows) {
        SCOPED_TRACE(row.name);
        World w;
        w.choose(row.port);
        w.form.tcpIP.Text = "127.0.0.1";
        if (row.setup)
            row.setup(w);
        bool ok = true;
        if (row.parallelMode)
            w.link.OpenParallel(true, row.parallelMode);
        else
            ok = w.openPort(row.open);
        EXPECT_EQ(ok, row.ok);
        EXPECT_EQ(w.facts(), row.facts);
        EXPECT_EQ(w.form.Timer1.enabled(), w.fake.timer.enabled);
    }
}

TEST(Link, StatusRefresh)
{
    // Last shown, the socket's state and the state once events ran (-1: the same).
    const std::tuple<const char*, int, int, int, std::string> rows[] = {
        {"UnchangedLeavesTheBoxAlone", 0, 0, -1, ""},
        {"Connecting", -1, 6, -1, "status Connecting... #000000 last 6; sleeps 5; events 1"},
        {"Connected", -1, 7, -1, "status Connected #0000C0 last 7; sleeps 5; events 1"},
        {"Closing", -1, 8, -1, "status unknown #000000 last 8; sleeps 5; events 1"},
        {"ShowsTheStateAfterTheSettle", 0, 6, 7, "status Connected #0000C0 last 7; sleeps 5; events 1"},
    };
    for (const auto& [name, lastShown, socketState, afterEvents, facts] : rows) {
        SCOPED_TRACE(name);
        World w;
        w.state.LastTcpState = static_cast<std::int16_t>(lastShown);
        w.form.txtSTATUS.ForeColor = 0x123456;
        w.fake.socket.stateNumber = socketState;
        if (afterEvents >= 0) // events let run before the settle's sleep would show "unknown"
            w.fake.loop.onEvents = [&w, after = afterEvents] { w.fake.socket.stateNumber = w.fake.loop.sleeps.empty() ? 4 : after; };
        w.link.StatusRefresh();
        EXPECT_EQ(w.facts(), facts);
    }
}

struct SendRow {
    const char* name;
    const char* port;
    const char* mode;     // "W" stands for every mode but "R": the row runs with "W", "r" and "RR"
    std::string received; // what the printer has sent; USB: the first read's buffer
    std::string reply;    // the argument afterwards; the mode itself: left as the caller passed it
    std::string facts;
    Change world = {};     // what else happens
    std::string second = {}; // USB: the second read's buffer
    std::int32_t firstResult = 0, secondResult = 0;
    bool sent = true; // what SendCommand answers
};

Change takesOnly(int bytes)
{
    return [bytes](World& w) { w.fake.serial.stall.takes = w.fake.parallel.stall.takes = w.fake.socket.stall.takes = bytes; };
}

const std::string kRefusal = "box: Could not send data now, please check lan printer status...";
const std::string kSerialRead = "COM>cmd; sleeps 30", kTcpRead = "TCP>cmd; sleeps 5 10; events 3";
const std::string kUsbRead = "USB>cmd; USB<nul; USB<blank; sleeps 70x3";

Change socketError(int number, bool beforeTheExchange = false)
{
    return [number, beforeTheExchange](World& w) {
        const auto raise = [&w, number] {
            w.fake.socket.hasError = true;
            w.fake.socket.error = {number, "Connection reset by peer", "Winsock1"};
        };
        if (beforeTheExchange)
            raise();
        else
            w.fake.loop.onEvents = raise;
    };
}

TEST(Link, SendCommand)
{
    const SendRow rows[] = {
        {"SerialQuery", "COM1", "R", "_30", "30", kSerialRead},
        {"SerialWrite", "COM1", "W", "_30", "", "COM>cmd; COM unread"},
        {"ParallelQueryReopensForReadingThenWriting", "LPT1", "R", "_30", "30",
         "LPT close,close,open R,close,open W; LPT read 30; LPT>cmd; sleeps 60"},
        {"ParallelWrite", "LPT1", "W", "_30", "", "LPT>cmd; LPT unread"},
        {"TcpQuery", "TCP/IP", "R", "_30", "30", kTcpRead},
        {"TcpWrite", "TCP/IP", "W", "_30", "", "TCP>cmd; TCP unread; sleeps 5; events 2"},
        {"UsbQueryJoinsTwoReads", "USB", "R", "_ABC", "ABCDE", kUsbRead, {}, "DE"},
        {"UsbWrite", "USB", "W", "_ABC", "", "USB>cmd; USB unread"},
        {"UnknownPortTypeSendsNothing", "XYZ", "R", "_30", "R", ""},
        // The first-underscore scan.
        {"ScanWithoutUnderscoreKeepsAll", "COM1", "R", "KR-5050", "KR-5050", kSerialRead},
        {"ScanKeepsASecondUnderscore", "COM1", "R", "_ab_cd", "ab_cd", kSerialRead},
        {"ScanKeepsWhatCameBefore", "COM1", "R", "\0x_30"s, "\0x30"s, kSerialRead},
        {"SerialOneCharacterIsEnough", "COM1", "R", "7", "7", kSerialRead},
        {"SerialNothingReceived", "COM1", "R", "", "", kSerialRead},
        {"TcpOneByteEndsTheWait", "TCP/IP", "R", "7", "7", kTcpRead},
        {"TcpReplyAtTheThirdPoll", "TCP/IP", "R", "", "30\0"s, "TCP>cmd; sleeps 5 1x3 10; events 6",
         [](World& w) { // batches 1 and 2 belong to the send; the polls start with batch 3
             w.fake.loop.onEvents = [&w] {
                 if (w.fake.loop.eventBatches == 5)
                     w.fake.socket.inbox = "_30\0"s;
             };
         }},
        {"TcpNothingArrivesIn1000Polls", "TCP/IP", "R", "", "", "TCP>cmd; sleeps 5 1x1000 10; events 1003"},
        {"TcpWriteRefusedKeepsItsMode", "TCP/IP", "W", "_30", "W",
         "TCP unread; status Connecting... #000000 last 6; sleeps 5; events 2; " + kRefusal + " 6",
         [](World& w) { w.fake.socket.stateNumber = 6; }},
        {"TcpRefusalRefreshesTwiceAndNamesTheStateAfterIt", "TCP/IP", "R", "_30", "R",
         "TCP unread; status Disconnect #FF0000 last 0; sleeps 5; events 2; " + kRefusal + " 0",
         [](World& w) {
             w.fake.socket.stateNumber = w.state.LastTcpState = 6;
             // Closing after the first refresh, closed once the second one lets events run.
             w.fake.loop.onEvents = [&w] { w.fake.socket.stateNumber = w.fake.loop.eventBatches == 1 ? 8 : 0; };
         }},
        {"TcpRefreshesBeforeSendingAndAfterTheWait", "TCP/IP", "W", "_30", "",
         "TCP>cmd; TCP unread; status Disconnect #FF0000 last 0; sleeps 5x3; events 4",
         [](World& w) {
             w.state.LastTcpState = 0; // the box still shows a closed socket
             w.fake.loop.onSleep = [&w] {
                 if (!w.fake.socket.sent.empty() && w.fake.socket.stateNumber == 7) {
                     EXPECT_EQ(w.form.txtSTATUS.Text, "Connected");
                     w.fake.socket.stateNumber = 0; // the printer hangs up during the wait
                 }
             };
         }},
        {"TcpErrorDuringAQueryIsShown", "TCP/IP", "R", "_30", "30",
         kTcpRead + "; box Error: Error #  10054 was generated by Winsock1\rConnection reset by peer", socketError(10054)},
        {"TcpErrorNumberBelowZero", "TCP/IP", "R", "_30", "30",
         kTcpRead + "; box Error: Error # -1 was generated by Winsock1\rConnection reset by peer", socketError(-1)},
        {"TcpErrorAfterAWriteIsNotShown", "TCP/IP", "W", "_30", "", "TCP>cmd; TCP unread; sleeps 5; events 2",
         socketError(10054)},
        {"TcpErrorLeftBeforeTheExchangeIsNotShown", "TCP/IP", "R", "_30", "30", kTcpRead, socketError(10061, true)},
        // The two USB reads.
        {"UsbWithoutUnderscoreGivesAll32Characters", "USB", "R", "XYZ", "XYZ" + std::string(29, '\0'), kUsbRead, {}, "DE"},
        {"UsbNothingInTheFirstReadGivesNothing", "USB", "R", "", "", kUsbRead, {}, "DE"},
        {"UsbTextBeforeTheUnderscoreIsDropped", "USB", "R", "xy_AB", "ABC", kUsbRead, {}, "C"},
        {"UsbNulAfterTheUnderscoreIsSkipped", "USB", "R", "_A\0B"s, "AB", kUsbRead},
        {"UsbSecondUnderscoreInTheFirstBufferKept", "USB", "R", "_A_B", "A_B", kUsbRead},
        {"UsbUnderscoreInTheSecondBufferKept", "USB", "R", "_AB", "ABC_D", kUsbRead, {}, "C_\0D"s},
        {"UsbFirstReadFails", "USB", "R", "_AB", "", "USB>cmd; USB<nul; USB unread; sleeps 70x2", {}, "C", 1},
        {"UsbFirstReadFailsBelowZero", "USB", "R", "_AB", "", "USB>cmd; USB<nul; USB unread; sleeps 70x2", {}, "C", -1},
        {"UsbSecondReadFailsKeepsTheFirst", "USB", "R", "_AB", "AB", kUsbRead, {}, "C", 0, 2},
        // A device that stops taking bytes: the rest of the command stays here, no reply is waited for.
        {"SerialStallSendsNoMoreAndReadsNothing", "COM1", "R", "_30", "", "COM>cmd:3; COM unread", takesOnly(3), {}, 0, 0, false},
        {"SerialStallOfAWrite", "COM1", "W", "_30", "", "COM unread", takesOnly(0), {}, 0, 0, false},
        {"ParallelStallDoesNotReopenForReading", "LPT1", "R", "_30", "", "LPT>cmd:5; LPT unread", takesOnly(5), {}, 0, 0, false},
        {"ParallelStallOfAWrite", "LPT1", "W", "_30", "", "LPT>cmd:1; LPT unread", takesOnly(1), {}, 0, 0, false},
        {"TcpStallTellsNothingItself", "TCP/IP", "R", "_30", "", "TCP>cmd:2; TCP unread; events 1", [](World& w) {
             takesOnly(2)(w);
             socketError(10055, true)(w); // what the failed send left pending is not shown
         }, {}, 0, 0, false},
        {"TcpStallShowsTheDroppedLine", "TCP/IP", "W", "_30", "",
         "TCP>cmd:4; TCP unread; status Disconnect #FF0000 last 0; sleeps 5; events 2", [](World& w) {
             takesOnly(4)(w);
             w.fake.socket.onStall = [&w] { w.fake.socket.stateNumber = 0; };
         }, {}, 0, 0, false},
        {"UsbWritesAreNotExamined", "USB", "W", "_ABC", "", "USB>cmd; USB unread", takesOnly(0)},
    };
    for (const SendRow& row : rows) {
        const bool write = std::string(row.mode) == "W";
        for (const std::string& mode : write ? std::vector<std::string>{"W", "r", "RR"} : std::vector<std::string>{row.mode}) {
            SCOPED_TRACE(row.name + (" " + mode));
            World w;
            w.choose(row.port);
            w.fake.socket.stateNumber = w.state.LastTcpState = kTcpConnected;
            const std::string type = portTypeText(w.state);
            if (type == "COM")
                w.fake.serial.inbox = row.received;
            else if (type == "LPT")
                w.fake.parallel.replies = row.received;
            else if (type == "TCP")
                w.fake.socket.inbox = row.received;
            else if (type == "USB")
                w.fake.usb.reads = {{row.received, row.firstResult}, {row.second, row.secondResult}};
            if (row.world)
                row.world(w);
            std::string text = mode;
            EXPECT_EQ(w.link.SendCommand(kCommand, text), row.sent);
            EXPECT_EQ(text, row.reply == row.mode ? mode : row.reply);
            EXPECT_EQ(w.facts(), row.facts);
            const bool attempted = type != "USB" && (row.facts.find(">cmd") != std::string::npos || !row.sent);
            EXPECT_EQ(w.fake.serial.stall.commands + w.fake.parallel.stall.commands + w.fake.socket.stall.commands,
                      attempted ? 1 : 0) << "a command starts its write limit once, before its bytes";
        }
    }
}

} // namespace
} // namespace softswitch::testing
