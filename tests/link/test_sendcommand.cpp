// SendCommand on each link with the fakes: bytes on the wire, the fixed waits
// (the recorded sleeps), the reply scans and the failure messages.

#include "linkfixture.h"

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
    Sleeps queryWaits;
    Sleeps writeWaits;
};

const LinkRow kSerial{"Serial", "COM1", 0, {30ms}, {}}, kParallel{"Parallel", "LPT1", 1, {60ms}, {}},
    kTcp{"Tcp", "TCP/IP", 2, tcpPolls(0), {5ms}}, kUsb{"Usb", "USB", 3, {70ms, 70ms, 70ms}, {}};

// Every link primed with the same reply; TCP is connected.
class EachLink : public LinkTest {
protected:
    void pick(const LinkRow& row, const std::string& reply)
    {
        choose(row.portName);
        tcpConnected();
        fake.serial.inbox = fake.parallel.replies = fake.socket.inbox = reply;
        fake.usb.reads = {{reply, 0}, {"", 0}};
    }
    // What reached each printer: serial, parallel, TCP, USB write calls.
    std::vector<Bytes> wires() const
    {
        Bytes usb;
        for (const auto& call : fake.usb.calls)
            if (call.mode == 0)
                usb.insert(usb.end(), call.data.begin(), call.data.end());
        return {fake.serial.written, fake.parallel.written, fake.socket.sent, usb};
    }
    std::vector<Bytes> onlyOn(const LinkRow& row, const Bytes& command) const
    {
        std::vector<Bytes> expected(4);
        expected[row.wire] = command;
        return expected;
    }
    bool linkRead(const LinkRow& row) const
    {
        switch (row.wire) {
        case 0: return fake.serial.inbox.empty();
        case 1: return !fake.parallel.history.empty() || !fake.parallel.readCounts.empty();
        case 2: return fake.socket.inbox.empty();
        default: return fake.usb.calls.size() > 1;
        }
    }
};

const Bytes kCommand{29, 103, 52, 0, 255, 95};

class EachLinkQuery : public EachLink, public ::testing::WithParamInterface<LinkRow> {};

TEST_P(EachLinkQuery, SendsEveryByteInOrderOnItsOwnLinkWaitsAndReadsTheReply)
{
    pick(GetParam(), "_30");
    EXPECT_EQ(send(kCommand, "R"), "30");
    EXPECT_EQ(wires(), onlyOn(GetParam(), kCommand));
    EXPECT_EQ(fake.loop.sleeps, GetParam().queryWaits);
    EXPECT_TRUE(linkRead(GetParam()));
    EXPECT_TRUE(fake.boxes.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Links, EachLinkQuery, ::testing::Values(kSerial, kParallel, kTcp, kUsb), RowName{});

struct ModeRow { const char* name; const char* mode; };

class EachLinkWrite : public EachLink, public ::testing::WithParamInterface<std::tuple<LinkRow, ModeRow>> {};

TEST_P(EachLinkWrite, AnyModeButCapitalRSendsReturnsEmptyAndReadsNothing)
{
    const auto& [row, mode] = GetParam();
    pick(row, "_30");
    EXPECT_EQ(send(kCommand, mode.mode), "");
    EXPECT_EQ(wires(), onlyOn(row, kCommand));
    EXPECT_EQ(fake.loop.sleeps, row.writeWaits);
    EXPECT_FALSE(linkRead(row));
    EXPECT_TRUE(fake.boxes.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Links, EachLinkWrite,
                         ::testing::Combine(::testing::Values(kSerial, kParallel, kTcp, kUsb),
                                            ::testing::Values(ModeRow{"W", "W"}, ModeRow{"LowerR", "r"},
                                                              ModeRow{"RR", "RR"})),
                         RowName{});

struct ScanRow { const char* name; std::string received; std::string reply; };

class FirstUnderscoreScan : public EachLink, public ::testing::WithParamInterface<std::tuple<LinkRow, ScanRow>> {};

TEST_P(FirstUnderscoreScan, OnSerialParallelAndTcp)
{
    const auto& [row, scan] = GetParam();
    pick(row, scan.received);
    EXPECT_EQ(send(kQuery, "R"), scan.reply);
    // The waits do not depend on what arrives, except that TCP polls until something does.
    EXPECT_EQ(fake.loop.sleeps, scan.received.empty() && row.wire == kTcp.wire ? tcpPolls(1000) : row.queryWaits);
    EXPECT_TRUE(fake.boxes.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Links, FirstUnderscoreScan,
    ::testing::Combine(
        ::testing::Values(kSerial, kParallel, kTcp),
        ::testing::Values(ScanRow{"FramedReplyKeepsItsNul", std::string("_30\0", 4), std::string("30\0", 3)},
                          ScanRow{"NoUnderscoreReturnedWhole", "KR-5050", "KR-5050"},
                          ScanRow{"SecondUnderscoreStays", "_ab_cd", "ab_cd"},
                          ScanRow{"CharactersBeforeTheUnderscoreStay", "xy_30", "xy30"},
                          ScanRow{"NulsBeforeTheUnderscoreStay", std::string("\0_7", 3), std::string("\0" "7", 2)},
                          ScanRow{"OneCharacterIsEnough", "7", "7"}, ScanRow{"OnlyAnUnderscore", "_", ""},
                          ScanRow{"NothingReceived", "", ""})),
    RowName{});

TEST_F(EachLink, UnknownPortTypeSendsNothingAndKeepsTheArgument)
{
    state.PortType = "XYZ";
    EXPECT_EQ(send(kQuery, "R"), "R");
    EXPECT_EQ(wires(), std::vector<Bytes>(4));
    EXPECT_TRUE(fake.usb.calls.empty());
    EXPECT_TRUE(fake.loop.sleeps.empty());
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

TEST_F(LinkTest, UsbCallArguments)
{
    choose("USB");
    const Bytes command{29, 103, 52, 0, 7};
    fake.usb.reads = {{"_AB", 0}, {"", 0}};
    send(command, "R");
    ASSERT_EQ(fake.usb.calls.size(), 3u);
    const auto& write = fake.usb.calls[0];
    EXPECT_EQ(write.data, asText(command));
    EXPECT_EQ(std::tie(write.port, write.baud, write.arg4, write.length, write.mode, write.bufferLength, write.buffer),
              std::make_tuple("usb", 9600, 0, 6, 0, 0, ""));
    for (std::size_t i : {1u, 2u}) {
        const auto& read = fake.usb.calls[i];
        EXPECT_EQ(std::tie(read.port, read.baud, read.arg4, read.length, read.mode, read.bufferLength, read.buffer),
                  std::make_tuple("usb", 9600, 0, 1, 5, 32, std::string(32, '\0')))
            << "read " << i;
    }
    EXPECT_EQ(fake.usb.calls[1].data, std::string(1, '\0'));
    EXPECT_EQ(fake.usb.calls[2].data, " ");
}

struct UsbRow {
    const char* name;
    std::string first;
    std::int32_t firstResult;
    std::string second;
    std::int32_t secondResult;
    std::string reply;
    std::size_t reads; // read calls made; 70 ms before each and at the end
};

class UsbReply : public LinkTest, public ::testing::WithParamInterface<UsbRow> {};

TEST_P(UsbReply, TwoReadScan)
{
    choose("USB");
    const UsbRow& row = GetParam();
    fake.usb.reads = {{row.first, row.firstResult}, {row.second, row.secondResult}};
    EXPECT_EQ(send(kQuery, "R"), row.reply);
    EXPECT_EQ(fake.usb.calls.size(), 1 + row.reads);
    EXPECT_EQ(fake.loop.sleeps, Sleeps(1 + row.reads, 70ms));
    EXPECT_TRUE(fake.boxes.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UsbReply,
    ::testing::Values(
        UsbRow{"TwoBuffersJoinAToE", "_ABC", 0, "DE", 0, "ABCDE", 2},
        UsbRow{"NoUnderscoreGivesAll32CharactersAndIgnoresSecond", "XYZ", 0, "DE", 0, "XYZ" + std::string(29, '\0'), 2},
        UsbRow{"AllNulFirstBufferGivesNothing", "", 0, "DE", 0, "", 2},
        UsbRow{"TextBeforeUnderscoreIsDropped", "xy_AB", 0, "C", 0, "ABC", 2},
        UsbRow{"NulAfterUnderscoreSkipped", std::string("_A\0B", 4), 0, "", 0, "AB", 2},
        UsbRow{"SecondUnderscoreInFirstBufferKept", "_A_B", 0, "", 0, "A_B", 2},
        UsbRow{"UnderscoreInSecondBufferKept", "_AB", 0, std::string("C_\0D", 4), 0, "ABC_D", 2},
        UsbRow{"FirstReadFailsEmptyAndNoSecondRead", "_AB", 1, "C", 0, "", 1},
        UsbRow{"FirstReadNegativeResultFails", "_AB", -1, "C", 0, "", 1},
        UsbRow{"SecondReadFailsKeepsFirst", "_AB", 0, "C", 2, "AB", 2}),
    RowName{});

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

TEST_F(TcpTest, NothingArrivingEndsAfter1000PollsWithEmptyReply)
{
    EXPECT_EQ(send(kQuery, "R"), "");
    // Two event batches around the send, one per poll, one after the wait.
    EXPECT_EQ(fake.loop.eventBatches, 2 + 1000 + 1);
    EXPECT_EQ(fake.loop.sleeps, tcpPolls(1000));
}

struct RefusalRow { const char* name; int socketState; const char* mode; std::string expected; };

class TcpRefusal : public TcpTest, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(TcpRefusal, MessageEndsWithTheStateAndReplyKeepsTheMode)
{
    fake.socket.stateNumber = GetParam().socketState;
    fake.socket.inbox = "_30";
    EXPECT_EQ(send(kQuery, GetParam().mode), GetParam().mode);
    expectOneBox(fake.boxes, GetParam().expected, MsgIcon::None);
    EXPECT_TRUE(fake.socket.sent.empty());
    EXPECT_EQ(fake.loop.sleeps, (Sleeps{5ms})); // the refresh that saw the state change; no exchange waits
    EXPECT_EQ(fake.socket.inbox, "_30");
}

INSTANTIATE_TEST_SUITE_P(Rows, TcpRefusal,
                         ::testing::Values(RefusalRow{"ConnectingQuery", 6, "R", kRefusal + " 6"},
                                           RefusalRow{"ConnectingWriteKeepsW", 6, "W", kRefusal + " 6"},
                                           RefusalRow{"Closed", 0, "R", kRefusal + " 0"},
                                           RefusalRow{"Closing", 8, "R", kRefusal + " 8"}),
                         RowName{});

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
    expectOneBox(fake.boxes, "Could not send data now, please check lan printer status... 0", MsgIcon::None);
}

struct ErrorRow {
    const char* name;
    const char* mode;
    int number;
    bool raisedBeforeTheExchange;
    const char* reply;
    const char* box; // empty: no box
};

class TcpError : public TcpTest, public ::testing::WithParamInterface<ErrorRow> {};

TEST_P(TcpError, RaisedDuringAQueryIsShownAndTheReplyKept)
{
    const ErrorRow& row = GetParam();
    fake.socket.inbox = "_30";
    const auto raise = [&] {
        fake.socket.hasError = true;
        fake.socket.error = {row.number, "Connection reset by peer", "Winsock1"};
    };
    if (row.raisedBeforeTheExchange)
        raise();
    else
        fake.loop.onEvents = raise;
    EXPECT_EQ(send(kQuery, row.mode), row.reply);
    if (std::string(row.box).empty()) {
        EXPECT_TRUE(fake.boxes.shown.empty());
    } else {
        expectOneBox(fake.boxes, row.box, MsgIcon::None, "Error");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TcpError,
    ::testing::Values(
        ErrorRow{"PositiveNumberGetsABlank", "R", 10054, false, "30",
                 "Error #  10054 was generated by Winsock1\rConnection reset by peer"},
        ErrorRow{"NegativeNumberHasNone", "R", -1, false, "30",
                 "Error # -1 was generated by Winsock1\rConnection reset by peer"},
        ErrorRow{"NotShownAfterAWrite", "W", 10054, false, "", ""},
        ErrorRow{"LeftBeforeTheExchangeNotShown", "R", 10061, true, "30", ""}),
    RowName{});

} // namespace
} // namespace softswitch::testing
