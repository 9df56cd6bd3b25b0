// SendCommand on each link with the fakes: bytes on the wire, the fixed waits
// (the recorded sleeps), the reply scans and the failure messages.

#include "linkcalls.h"

namespace softswitch::testing {
namespace {

const std::string kRefusal = "Could not send data now, please check lan printer status...";

Sleeps tcpPolls(int polls)
{
    Sleeps sleeps{5ms};
    sleeps.insert(sleeps.end(), static_cast<std::size_t>(polls), 1ms);
    sleeps.push_back(10ms);
    return sleeps;
}

// ---- What every link does -------------------------------------------------

struct LinkRow {
    const char* name;
    const char* portName;
    std::size_t wire; // index into EachLink::wires()
    Sleeps queryWaits, writeWaits;
};

const LinkRow kSerial{"Serial", "COM1", 0, {30ms}, {}}, kParallel{"Parallel", "LPT1", 1, {60ms}, {}},
    kTcp{"Tcp", "TCP/IP", 2, tcpPolls(0), {5ms}}, kUsb{"Usb", "USB", 3, {70ms, 70ms, 70ms}, {}};

struct ExchangeRow {
    const char* name;
    const char* mode;
    std::string received, reply; // a reply only for "R"
};

// Every link primed with the same reply; TCP is connected.
class EachLink : public LinkTest, public ::testing::WithParamInterface<std::tuple<LinkRow, ExchangeRow>> {
protected:
    // What reached each printer: serial, parallel, TCP, USB write calls.
    std::vector<Bytes> wires() const
    {
        Bytes usb;
        for (const auto& call : fake.usb.calls)
            if (call.mode == 0)
                usb.insert(usb.end(), call.data.begin(), call.data.end());
        return {fake.serial.written, fake.parallel.written, fake.socket.sent, usb};
    }
    bool linkRead(const LinkRow& row) const
    {
        const bool read[] = {fake.serial.inbox.empty(), !fake.parallel.history.empty() || !fake.parallel.readCounts.empty(),
                             fake.socket.inbox.empty(), fake.usb.calls.size() > 1};
        return read[row.wire];
    }
};

const Bytes kCommand{29, 103, 52, 0, 255, 95};

TEST_P(EachLink, SendsEveryByteInOrderOnItsOwnLinkWaitsAndReadsOnlyForCapitalR)
{
    const auto& [row, exchange] = GetParam();
    choose(row.portName);
    tcpConnected();
    fake.serial.inbox = fake.parallel.replies = fake.socket.inbox = exchange.received;
    fake.usb.reads = {{exchange.received, 0}, {"", 0}};
    const bool query = std::string(exchange.mode) == "R";

    EXPECT_EQ(send(kCommand, exchange.mode), exchange.reply);
    std::vector<Bytes> expected(4);
    expected[row.wire] = kCommand;
    EXPECT_EQ(wires(), expected);
    // The waits do not depend on what arrives, except that TCP polls until something does.
    const bool silentTcp = query && exchange.received.empty() && row.wire == kTcp.wire;
    EXPECT_EQ(fake.loop.sleeps, silentTcp ? tcpPolls(1000) : query ? row.queryWaits : row.writeWaits);
    EXPECT_EQ(linkRead(row), query);
    EXPECT_TRUE(fake.boxes.shown.empty());
}

const ExchangeRow kFramed{"Framed", "R", "_30", "30"};
const ExchangeRow kWrites[] = {{"W", "W", "_30", ""}, {"LowerR", "r", "_30", ""}, {"RR", "RR", "_30", ""}};
INSTANTIATE_TEST_SUITE_P(Links, EachLink,
                         ::testing::Combine(::testing::Values(kSerial, kParallel, kTcp, kUsb),
                                            ::testing::Values(kFramed, kWrites[0], kWrites[1], kWrites[2])),
                         RowName{});
INSTANTIATE_TEST_SUITE_P(
    FirstUnderscoreScan, EachLink,
    ::testing::Combine(
        ::testing::Values(kSerial, kParallel, kTcp),
        ::testing::Values(ExchangeRow{"FramedReplyKeepsItsNul", "R", std::string("_30\0", 4), std::string("30\0", 3)},
                          ExchangeRow{"NoUnderscoreReturnedWhole", "R", "KR-5050", "KR-5050"},
                          ExchangeRow{"SecondUnderscoreStays", "R", "_ab_cd", "ab_cd"},
                          ExchangeRow{"CharactersBeforeTheUnderscoreStay", "R", "xy_30", "xy30"},
                          ExchangeRow{"NulsBeforeTheUnderscoreStay", "R", std::string("\0_7", 3), std::string("\0" "7", 2)},
                          ExchangeRow{"OneCharacterIsEnough", "R", "7", "7"}, ExchangeRow{"OnlyAnUnderscore", "R", "_", ""},
                          ExchangeRow{"NothingReceived", "R", "", ""})),
    RowName{});

TEST_F(LinkTest, UnknownPortTypeSendsNothingAndKeepsTheArgument)
{
    state.PortType = "XYZ";
    EXPECT_EQ(send(kQuery, "R"), "R");
    EXPECT_TRUE(fake.serial.written.empty() && fake.parallel.written.empty() && fake.socket.sent.empty());
    EXPECT_TRUE(fake.usb.calls.empty() && fake.loop.sleeps.empty());
}

// ---- Parallel and USB -----------------------------------------------------

TEST_F(LinkTest, ParallelQueryReopensForReadingThenForWriting)
{
    choose("LPT1");
    openPort(true);
    fake.parallel.history.clear();
    send(kQuery, "R");
    EXPECT_EQ(fake.parallel.history, (std::vector<std::string>{"close", "close", "open R", "close", "open W"}));
    EXPECT_EQ(fake.parallel.readCounts, (std::vector<int>{30}));
    EXPECT_EQ(fake.parallel.mode, FakeParallel::Mode::Writing);
}

TEST_F(LinkTest, UsbTwoReadScan)
{
    // Name; first buffer and result; second buffer and result; reply; read calls (70 ms before each and at the end).
    const std::tuple<const char*, std::string, std::int32_t, std::string, std::int32_t, std::string, std::size_t> rows[] = {
        {"TwoBuffersJoinAToE", "_ABC", 0, "DE", 0, "ABCDE", 2},
        {"NoUnderscoreGivesAll32CharactersAndIgnoresSecond", "XYZ", 0, "DE", 0, "XYZ" + std::string(29, '\0'), 2},
        {"AllNulFirstBufferGivesNothing", "", 0, "DE", 0, "", 2},
        {"TextBeforeUnderscoreIsDropped", "xy_AB", 0, "C", 0, "ABC", 2},
        {"NulAfterUnderscoreSkipped", std::string("_A\0B", 4), 0, "", 0, "AB", 2},
        {"SecondUnderscoreInFirstBufferKept", "_A_B", 0, "", 0, "A_B", 2},
        {"UnderscoreInSecondBufferKept", "_AB", 0, std::string("C_\0D", 4), 0, "ABC_D", 2},
        {"FirstReadFailsEmptyAndNoSecondRead", "_AB", 1, "C", 0, "", 1},
        {"FirstReadNegativeResultFails", "_AB", -1, "C", 0, "", 1},
        {"SecondReadFailsKeepsFirst", "_AB", 0, "C", 2, "AB", 2},
    };
    choose("USB");
    for (const auto& [name, first, firstResult, second, secondResult, reply, reads] : rows) {
        fake.usb.calls.clear();
        fake.loop.sleeps.clear();
        fake.usb.reads = {{first, firstResult}, {second, secondResult}};
        EXPECT_EQ(send(kQuery, "R"), reply) << name;
        EXPECT_EQ(fake.usb.calls.size(), 1 + reads) << name;
        EXPECT_EQ(fake.loop.sleeps, Sleeps(1 + reads, 70ms)) << name;
    }
    EXPECT_TRUE(fake.boxes.shown.empty());
}

// ---- TCP ------------------------------------------------------------------

class TcpTest : public LinkTest {
protected:
    void SetUp() override
    {
        choose("TCP/IP");
        tcpConnected();
    }
};

TEST_F(TcpTest, ReplyArrivingAtTheThirdPollStopsTheWait)
{
    int batches = 0;
    fake.loop.onEvents = [&] {
        // Batches 1 and 2 belong to the send; the polls start with batch 3.
        if (++batches == 5)
            fake.socket.inbox = std::string("_30\0", 4);
    };
    EXPECT_EQ(send(kQuery, "R"), std::string("30\0", 3));
    EXPECT_EQ(fake.loop.sleeps, tcpPolls(3));
}

TEST_F(TcpTest, NothingArrivingEndsAfter1000PollsEachLettingEventsRun)
{
    EXPECT_EQ(send(kQuery, "R"), "");
    EXPECT_EQ(fake.loop.eventBatches, 2 + 1000 + 1); // around the send, one per poll, one after the wait
}

TEST_F(TcpTest, RefusalEndsWithTheStateAndTheReplyKeepsTheMode)
{
    const std::tuple<int, const char*> rows[] = {{6, "R"}, {6, "W"}, {0, "R"}, {8, "R"}};
    for (const auto& [socketState, mode] : rows) {
        fake.boxes.shown.clear();
        fake.loop.sleeps.clear();
        fake.socket.stateNumber = socketState;
        state.LastTcpState = kTcpConnected;
        fake.socket.inbox = "_30";
        EXPECT_EQ(send(kQuery, mode), mode);
        expectOneBox(fake.boxes, kRefusal + signedNumber(socketState), MsgIcon::None);
        EXPECT_EQ(fake.loop.sleeps, (Sleeps{5ms})); // the refresh that saw the state change; no exchange waits
        EXPECT_EQ(fake.socket.inbox, "_30");
    }
    EXPECT_TRUE(fake.socket.sent.empty());
}

TEST_F(TcpTest, RefusalRefreshesTheBoxTwiceAndNamesTheStateAfterIt)
{
    fake.socket.stateNumber = state.LastTcpState = kTcpConnecting;
    int batches = 0;
    fake.loop.onEvents = [&] {
        // Closing after the first refresh, closed once the second one let events run.
        fake.socket.stateNumber = ++batches == 1 ? 8 : 0;
    };
    EXPECT_EQ(send(kQuery, "R"), "R");
    EXPECT_EQ(form.txtSTATUS.Text, "Disconnect");
    expectOneBox(fake.boxes, kRefusal + " 0", MsgIcon::None);
}

TEST_F(TcpTest, ExchangeRefreshesTheStatusBeforeSendingAndAfterItsWait)
{
    state.LastTcpState = kTcpClosed; // the box still shows a closed socket
    std::string shownWhenSent;
    fake.loop.onSleep = [&] {
        if (!fake.socket.sent.empty() && shownWhenSent.empty()) {
            shownWhenSent = form.txtSTATUS.Text;
            fake.socket.stateNumber = kTcpClosed; // the printer hangs up during the wait
        }
    };
    EXPECT_EQ(send(kQuery, "W"), "");
    EXPECT_EQ(shownWhenSent, "Connected");
    EXPECT_EQ(form.txtSTATUS.Text, "Disconnect");
    EXPECT_EQ(fake.loop.sleeps, (Sleeps{5ms, 5ms, 5ms})); // settle, after the send, settle
}

TEST_F(TcpTest, ErrorRaisedDuringAQueryIsShownAndTheReplyKept)
{
    const std::tuple<const char*, int, bool, const char*, std::string> rows[] = {
        {"R", 10054, false, "30", "Error #  10054 was generated by Winsock1\rConnection reset by peer"},
        {"R", -1, false, "30", "Error # -1 was generated by Winsock1\rConnection reset by peer"},
        {"W", 10054, false, "", ""},  // not shown after a write
        {"R", 10061, true, "30", ""}, // left before the exchange: not shown
    };
    for (const auto& [mode, number, raisedBefore, reply, box] : rows) {
        fake.boxes.shown.clear();
        fake.socket.inbox = "_30";
        const auto raise = [&, number = number] {
            fake.socket.hasError = true;
            fake.socket.error = {number, "Connection reset by peer", "Winsock1"};
        };
        fake.loop.onEvents = nullptr;
        if (raisedBefore)
            raise();
        else
            fake.loop.onEvents = raise;
        EXPECT_EQ(send(kQuery, mode), reply) << number;
        if (box.empty())
            EXPECT_TRUE(fake.boxes.shown.empty()) << number;
        else
            expectOneBox(fake.boxes, box, MsgIcon::None, "Error");
    }
}

} // namespace
} // namespace softswitch::testing
