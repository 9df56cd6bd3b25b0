// SendCommand on each link with the fakes: bytes on the wire, the fixed waits
// (read from the recorded sleeps), reply framing and the failure messages.

#include "linkfixture.h"

#include <functional>

namespace softswitch::testing {
namespace {

using namespace std::chrono_literals;

const std::string kNuls32(32, '\0');

std::string padded(std::string text)
{
    text.resize(32, '\0');
    return text;
}

// ---- The waits, per link --------------------------------------------------

struct WaitsRow {
    const char* name;
    const char* portName;
    const char* mode;
    std::function<void(FakePlatform&, SharedState&)> setUp;
    Sleeps expected;
};

class Waits : public LinkTest, public ::testing::WithParamInterface<WaitsRow> {};

TEST_P(Waits, AreTheFixedOnes)
{
    choose(GetParam().portName);
    if (GetParam().setUp)
        GetParam().setUp(fake, state);
    send(kQuery, GetParam().mode);
    EXPECT_EQ(fake.loop.sleeps, GetParam().expected);
}

void tcpConnected(FakePlatform& f, SharedState& s)
{
    f.socket.stateNumber = 7;
    s.LastTcpState = 7;
    f.socket.inbox = "_30";
}

Sleeps tcpPolls(int polls)
{
    Sleeps sleeps{5ms};
    sleeps.insert(sleeps.end(), static_cast<std::size_t>(polls), 1ms);
    sleeps.push_back(10ms);
    return sleeps;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Waits,
    ::testing::Values(
        WaitsRow{"SerialQuery", "COM1", "R", [](FakePlatform& f, SharedState&) { f.serial.inbox = "_1"; }, {30ms}},
        WaitsRow{"SerialQueryNothingReceived", "COM1", "R", nullptr, {30ms}},
        WaitsRow{"SerialWrite", "COM1", "W", nullptr, {}},
        WaitsRow{"ParallelQuery", "LPT1", "R", nullptr, {60ms}},
        WaitsRow{"ParallelWrite", "LPT1", "W", nullptr, {}},
        WaitsRow{"UsbQueryBothReads", "USB", "R",
                 [](FakePlatform& f, SharedState&) {
                     f.usb.reads = {{"_AB", 0}, {"C", 0}};
                 },
                 {70ms, 70ms, 70ms}},
        WaitsRow{"UsbQueryNoUnderscore", "USB", "R",
                 [](FakePlatform& f, SharedState&) {
                     f.usb.reads = {{"AB", 0}, {"C", 0}};
                 },
                 {70ms, 70ms, 70ms}},
        WaitsRow{"UsbFirstReadFails", "USB", "R",
                 [](FakePlatform& f, SharedState&) {
                     f.usb.reads = {{"", 1}};
                 },
                 {70ms, 70ms}},
        WaitsRow{"UsbWrite", "USB", "W", nullptr, {}},
        WaitsRow{"TcpQueryReplyAtOnce", "TCP/IP", "R", tcpConnected, tcpPolls(0)},
        WaitsRow{"TcpQueryNothingArrives", "TCP/IP", "R",
                 [](FakePlatform& f, SharedState& s) {
                     tcpConnected(f, s);
                     f.socket.inbox.clear();
                 },
                 tcpPolls(1000)},
        WaitsRow{"TcpWrite", "TCP/IP", "W", tcpConnected, {5ms}},
        WaitsRow{"TcpNotConnected", "TCP/IP", "R",
                 [](FakePlatform& f, SharedState& s) {
                     f.socket.stateNumber = 6;
                     s.LastTcpState = 6;
                 },
                 {}}),
    RowName{});

TEST_F(LinkTest, TcpReplyArrivingAfterThreePollsStopsTheWait)
{
    choose("TCP/IP");
    fake.socket.stateNumber = 7;
    state.LastTcpState = 7;
    int batches = 0;
    fake.loop.onEvents = [&] {
        // Batches 1 and 2 belong to the send; the polls start with batch 3.
        if (++batches == 5)
            fake.socket.inbox = std::string("_30\0", 4);
    };
    EXPECT_EQ(send(kQuery, "R"), std::string("30\0", 3));
    EXPECT_EQ(fake.loop.sleeps, tcpPolls(3));
}

// ---- Serial ---------------------------------------------------------------

struct ScanRow {
    const char* name;
    std::string received;
    std::string reply;
};

const auto kScanRows = ::testing::Values(
    ScanRow{"FramedReplyKeepsItsNul", std::string("_30\0", 4), std::string("30\0", 3)},
    ScanRow{"NoUnderscoreReturnedWhole", "KR-5050", "KR-5050"},
    ScanRow{"SecondUnderscoreStays", "_ab_cd", "ab_cd"},
    ScanRow{"CharactersBeforeTheUnderscoreStay", "xy_30", "xy30"},
    ScanRow{"NulsBeforeTheUnderscoreStay", std::string("\0_7", 3), std::string("\0" "7", 2)},
    ScanRow{"OnlyAnUnderscore", "_", ""});

const auto rowName = RowName{};

class SerialReply : public LinkTest, public ::testing::WithParamInterface<ScanRow> {};

TEST_P(SerialReply, FirstUnderscoreScan)
{
    choose("COM1");
    fake.serial.inbox = GetParam().received;
    EXPECT_EQ(send(kQuery, "R"), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(Rows, SerialReply, kScanRows, rowName);

TEST_F(LinkTest, SerialSendsEveryByteInOrder)
{
    choose("COM1");
    const Bytes command{29, 103, 52, 0, 255, 95};
    send(command, "R");
    EXPECT_EQ(fake.serial.written, command);
}

TEST_F(LinkTest, SerialWriteReturnsEmptyAndLeavesTheReceiveBuffer)
{
    choose("COM1");
    fake.serial.inbox = "_30";
    EXPECT_EQ(send(kQuery, "W"), "");
    EXPECT_EQ(fake.serial.inbox, "_30");
    EXPECT_EQ(fake.serial.written, kQuery);
}

TEST_F(LinkTest, SerialQueryWithNothingReceivedIsEmptyWithoutMessage)
{
    choose("COM1");
    EXPECT_EQ(send(kQuery, "R"), "");
    EXPECT_TRUE(fake.boxes.shown.empty());
}

TEST_F(LinkTest, OnlyCapitalRAsksForAReply)
{
    choose("COM1");
    fake.serial.inbox = "_30";
    EXPECT_EQ(send(kQuery, "r"), "");
    EXPECT_EQ(send(kQuery, "RR"), "");
    EXPECT_EQ(fake.serial.inbox, "_30");
}

// ---- Parallel -------------------------------------------------------------

class ParallelReply : public LinkTest, public ::testing::WithParamInterface<ScanRow> {};

TEST_P(ParallelReply, FirstUnderscoreScan)
{
    choose("LPT1");
    fake.parallel.replies = GetParam().received;
    EXPECT_EQ(send(kQuery, "R"), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(Rows, ParallelReply, kScanRows, rowName);

TEST_F(LinkTest, ParallelQueryReopensForReadingThenForWriting)
{
    choose("LPT1");
    openPort(true);
    fake.parallel.history.clear();
    send(kQuery, "R");
    EXPECT_EQ(fake.parallel.written, kQuery);
    EXPECT_EQ(fake.parallel.history,
              (std::vector<std::string>{"close", "close", "open R", "close", "open W"}));
    EXPECT_EQ(fake.parallel.readCounts, (std::vector<int>{30}));
    EXPECT_EQ(fake.parallel.mode, FakeParallel::Mode::Writing);
}

TEST_F(LinkTest, ParallelWriteNeitherReopensNorReads)
{
    choose("LPT1");
    fake.parallel.replies = "_30";
    EXPECT_EQ(send(kQuery, "W"), "");
    EXPECT_TRUE(fake.parallel.history.empty());
    EXPECT_TRUE(fake.parallel.readCounts.empty());
}

// ---- USB ------------------------------------------------------------------

TEST_F(LinkTest, UsbWriteCallCarriesTheCommandAndCountPlusOne)
{
    choose("USB");
    const Bytes command{29, 103, 52, 0, 7};
    EXPECT_EQ(send(command, "W"), "");
    ASSERT_EQ(fake.usb.calls.size(), 1u);
    const auto& call = fake.usb.calls[0];
    EXPECT_EQ(call.data, bytesText(command));
    EXPECT_EQ(call.port, "usb");
    EXPECT_EQ(call.baud, 9600);
    EXPECT_EQ(call.arg4, 0);
    EXPECT_EQ(call.length, 6);
    EXPECT_EQ(call.mode, 0);
    EXPECT_EQ(call.bufferLength, 0);
    EXPECT_EQ(call.buffer, "");
}

TEST_F(LinkTest, UsbReadCallsProbeWithNulThenBlank)
{
    choose("USB");
    fake.usb.reads = {{"_AB", 0}, {"", 0}};
    send(kQuery, "R");
    ASSERT_EQ(fake.usb.calls.size(), 3u);
    for (std::size_t i : {1u, 2u}) {
        const auto& call = fake.usb.calls[i];
        EXPECT_EQ(call.port, "usb");
        EXPECT_EQ(call.baud, 9600);
        EXPECT_EQ(call.arg4, 0);
        EXPECT_EQ(call.length, 1);
        EXPECT_EQ(call.mode, 5);
        EXPECT_EQ(call.bufferLength, 32);
        EXPECT_EQ(call.buffer, kNuls32);
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
    std::size_t calls;
};

class UsbReply : public LinkTest, public ::testing::WithParamInterface<UsbRow> {};

TEST_P(UsbReply, TwoReadScan)
{
    choose("USB");
    const UsbRow& row = GetParam();
    fake.usb.reads = {{row.first, row.firstResult}, {row.second, row.secondResult}};
    EXPECT_EQ(send(kQuery, "R"), row.reply);
    EXPECT_EQ(fake.usb.calls.size(), row.calls);
    EXPECT_TRUE(fake.boxes.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UsbReply,
    ::testing::Values(
        UsbRow{"TwoBuffersJoinAToE", "_ABC", 0, "DE", 0, "ABCDE", 3},
        UsbRow{"NoUnderscoreGivesAll32CharactersAndIgnoresSecond", "XYZ", 0, "DE", 0, padded("XYZ"), 3},
        UsbRow{"AllNulFirstBufferGivesNothing", "", 0, "DE", 0, "", 3},
        UsbRow{"TextBeforeUnderscoreIsDropped", "xy_AB", 0, "C", 0, "ABC", 3},
        UsbRow{"NulAfterUnderscoreSkipped", std::string("_A\0B", 4), 0, "", 0, "AB", 3},
        UsbRow{"SecondUnderscoreInFirstBufferKept", "_A_B", 0, "", 0, "A_B", 3},
        UsbRow{"UnderscoreInSecondBufferKept", "_AB", 0, std::string("C_\0D", 4), 0, "ABC_D", 3},
        UsbRow{"FirstReadFailsEmptyAndNoSecondRead", "_AB", 1, "C", 0, "", 2},
        UsbRow{"FirstReadNegativeResultFails", "_AB", -1, "C", 0, "", 2},
        UsbRow{"SecondReadFailsKeepsFirst", "_AB", 0, "C", 2, "AB", 3}),
    rowName);

// ---- TCP ------------------------------------------------------------------

class TcpTest : public LinkTest {
protected:
    void SetUp() override
    {
        choose("TCP/IP");
        fake.socket.stateNumber = 7;
        state.LastTcpState = 7;
    }
};

struct RefusalRow {
    const char* name;
    int socketState;
    const char* mode;
    const char* expected;
};

class TcpRefusal : public TcpTest, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(TcpRefusal, MessageEndsWithTheStateAndReplyKeepsTheMode)
{
    fake.socket.stateNumber = GetParam().socketState;
    fake.socket.inbox = "_30";
    EXPECT_EQ(send(kQuery, GetParam().mode), GetParam().mode);
    ASSERT_EQ(fake.boxes.shown.size(), 1u);
    EXPECT_EQ(fake.boxes.shown[0].text, GetParam().expected);
    EXPECT_EQ(fake.boxes.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(fake.boxes.shown[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(fake.boxes.shown[0].title, kAppTitle);
    EXPECT_TRUE(fake.socket.sent.empty());
    EXPECT_EQ(fake.socket.inbox, "_30");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TcpRefusal,
    ::testing::Values(
        RefusalRow{"ConnectingQuery", 6, "R", "Could not send data now, please check lan printer status... 6"},
        RefusalRow{"ConnectingWriteKeepsW", 6, "W", "Could not send data now, please check lan printer status... 6"},
        RefusalRow{"Closed", 0, "R", "Could not send data now, please check lan printer status... 0"},
        RefusalRow{"Closing", 8, "R", "Could not send data now, please check lan printer status... 8"}),
    rowName);

TEST_F(TcpTest, RefusalRefreshesTheBoxTwiceAndNamesTheStateAfterIt)
{
    fake.socket.stateNumber = 6;
    state.LastTcpState = 6;
    int batches = 0;
    fake.loop.onEvents = [&] {
        // The socket starts closing in the batch after the first refresh and
        // is closed by the time the second refresh has let events run.
        ++batches;
        fake.socket.stateNumber = batches == 1 ? 8 : 0;
    };
    EXPECT_EQ(send(kQuery, "R"), "R");
    EXPECT_EQ(form.txtSTATUS.Text, "Disconnect");
    ASSERT_EQ(fake.boxes.shown.size(), 1u);
    EXPECT_EQ(fake.boxes.shown[0].text, "Could not send data now, please check lan printer status... 0");
}

TEST_F(TcpTest, QuerySendsBytesInOrderAndScansTheReply)
{
    const Bytes command{29, 103, 52, 95, 0};
    fake.socket.inbox = std::string("_30\0", 4);
    EXPECT_EQ(send(command, "R"), std::string("30\0", 3));
    EXPECT_EQ(fake.socket.sent, command);
    EXPECT_TRUE(fake.boxes.shown.empty());
}

class TcpReply : public TcpTest, public ::testing::WithParamInterface<ScanRow> {};

TEST_P(TcpReply, FirstUnderscoreScan)
{
    fake.socket.inbox = GetParam().received;
    EXPECT_EQ(send(kQuery, "R"), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(Rows, TcpReply, kScanRows, rowName);

TEST_F(TcpTest, NothingArrivingEndsAfter1000PollsWithEmptyReply)
{
    int polls = 0;
    fake.loop.onEvents = [&] { ++polls; };
    EXPECT_EQ(send(kQuery, "R"), "");
    // Two batches around the send, 1000 polls, one after the wait.
    EXPECT_EQ(polls, 2 + 1000 + 1);
    EXPECT_TRUE(fake.boxes.shown.empty());
}

TEST_F(TcpTest, WriteReturnsEmptyWithoutReadingOrReportingErrors)
{
    fake.socket.inbox = "_30";
    fake.loop.onEvents = [&] {
        fake.socket.hasError = true;
        fake.socket.error = {10054, "Connection reset", "Winsock1"};
    };
    EXPECT_EQ(send(kQuery, "W"), "");
    EXPECT_EQ(fake.socket.sent, kQuery);
    EXPECT_EQ(fake.socket.inbox, "_30");
    EXPECT_TRUE(fake.boxes.shown.empty());
}

struct ErrorRow {
    const char* name;
    int number;
    const char* expected;
};

class TcpError : public TcpTest, public ::testing::WithParamInterface<ErrorRow> {};

TEST_P(TcpError, RaisedDuringTheExchangeIsShownAndReplyKept)
{
    fake.socket.inbox = "_30";
    fake.loop.onEvents = [&] {
        fake.socket.hasError = true;
        fake.socket.error = {GetParam().number, "Connection reset by peer", "Winsock1"};
    };
    EXPECT_EQ(send(kQuery, "R"), "30");
    ASSERT_EQ(fake.boxes.shown.size(), 1u);
    EXPECT_EQ(fake.boxes.shown[0].text, GetParam().expected);
    EXPECT_EQ(fake.boxes.shown[0].title, "Error");
    EXPECT_EQ(fake.boxes.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(fake.boxes.shown[0].buttons, MsgButtons::Ok);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TcpError,
    ::testing::Values(
        ErrorRow{"Positive", 10054, "Error #  10054 was generated by Winsock1\rConnection reset by peer"},
        ErrorRow{"Negative", -1, "Error # -1 was generated by Winsock1\rConnection reset by peer"}),
    rowName);

TEST_F(TcpTest, ErrorLeftBeforeTheExchangeIsNotShown)
{
    fake.socket.hasError = true;
    fake.socket.error = {10061, "Connection refused", "Winsock1"};
    fake.socket.inbox = "_30";
    EXPECT_EQ(send(kQuery, "R"), "30");
    EXPECT_TRUE(fake.boxes.shown.empty());
}

TEST_F(LinkTest, UnknownPortTypeSendsNothingAndKeepsTheArgument)
{
    state.PortType = "XYZ";
    EXPECT_EQ(send(kQuery, "R"), "R");
    EXPECT_TRUE(fake.serial.written.empty());
    EXPECT_TRUE(fake.socket.sent.empty());
    EXPECT_TRUE(fake.parallel.written.empty());
    EXPECT_TRUE(fake.usb.calls.empty());
    EXPECT_TRUE(fake.loop.sleeps.empty());
}

TEST(FirstUnderscoreScan, KeepsEverythingButTheFirstUnderscore)
{
    EXPECT_EQ(firstUnderscoreScan(std::string("a_b_\0c", 6)), std::string("ab_\0c", 5));
    EXPECT_EQ(firstUnderscoreScan(""), "");
}

} // namespace
} // namespace softswitch::testing
