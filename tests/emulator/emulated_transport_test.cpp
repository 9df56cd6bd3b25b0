// libKR5050 (emulated), loaded with dlopen from the build folder and called
// exactly as the utility calls it.
#include "testsupport.h"
#include "transportlibrary.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

namespace {

// The library reads KR5050_EMULATOR at its first call; each test loads its
// own copy with its own setting.
struct Emulated {
    explicit Emulated(const std::string& options) : env("KR5050_EMULATOR", options), library(KR5050_EMULATED_LIBRARY) {}
    ScopedEnv env;
    TransportLibrary library;
};

// Each command is its own write call and a query is that write and two
// reads, as the utility makes them; the second read finds nothing left.
TEST(EmulatedTransport, CarriesCommandsAndRepliesAndRecordsTheBytes)
{
    TempDir dir;
    const std::string transcript = dir.file("t.txt");
    {
        Emulated emulated("--set sw3=37 --transcript " + transcript);
        for (const auto& [command, reply] : std::initializer_list<std::pair<const char*, std::string>>{
                 {"1D 49 42", framed("TARVENIC")}, {"1D 67 34 21", framed("0")},
                 {"1D 67 34 29 00", framed("37")}, {"1D 67 34 25 00", ""}}) {
            const auto [written, first, second] = emulated.library.exchange(hex(command));
            EXPECT_EQ(written, 0);
            EXPECT_EQ(first.result, 0);
            EXPECT_EQ(first.buffer, padded(reply)) << command;
            EXPECT_EQ(second.result, 0);
            EXPECT_EQ(second.buffer, padded(""));
        }
        // Switch 2 written while unlocked, then again after the lock: ignored.
        for (const std::string& write :
             {kUnlock, hex("1D 67 38 28 31 32 38 00"), kLock, hex("1D 67 38 28 31 00 00 00")})
            EXPECT_EQ(emulated.library.write(write), 0);
        EXPECT_EQ(emulated.library.exchange(hex("1D 67 34 28 00")).first.buffer, padded(framed("128")));
        EXPECT_EQ(emulated.library.write(hex("1B 21 01 46 0D 0A")), 0);
    }
    EXPECT_EQ(readFile(transcript), "1D 49 42\n1D 67 34 21\n1D 67 34 29 00\n1D 67 34 25 00\n1D 67 75 6E 6C 00\n"
                                    "1D 67 38 28 31 32 38 00\n1D 67 6C 63 6B 00\n1D 67 38 28 31 00 00 00\n"
                                    "1D 67 34 28 00\n1B 21 01 46 0D 0A\n");
}

TEST(EmulatedTransport, SplitReplyGivesAtMostThatManyBytesPerRead)
{
    Emulated emulated("--split-reply 3");
    const auto [written, first, second] = emulated.library.exchange(kMaker);
    EXPECT_EQ(first.buffer, padded("_TA"));
    EXPECT_EQ(second.buffer, padded("RVE"));
    // What is not read stays queued, as in the printer's output buffer.
    EXPECT_EQ(emulated.library.read('\0').buffer, padded("NIC"));
    EXPECT_EQ(emulated.library.read(' ').buffer, padded(std::string(1, '\0')));
}

TEST(EmulatedTransport, UnreadRepliesPastTheLimitAreDroppedAndAnsweringGoesOn)
{
    Emulated emulated("");
    const std::size_t queries = 2 * emulator::kMaxUnreadReplyBytes / framed("TARVENIC").size();
    for (std::size_t i = 0; i < queries; ++i)
        emulated.library.write(kMaker);
    std::size_t reads = 0;
    while (emulated.library.read('\0').buffer != padded(""))
        ++reads;
    EXPECT_GE(reads * 32, emulator::kMaxUnreadReplyBytes);
    EXPECT_LT(reads * 32, queries * framed("TARVENIC").size());
    EXPECT_EQ(emulated.library.exchange(kMaker).first.buffer, padded(framed("TARVENIC")));
}

TEST(EmulatedTransport, ReplyDelayKeepsReadsEmptyUntilItHasPassed)
{
    // Far longer than the test runs: both reads come too early.
    Emulated emulated("--reply-delay 600000");
    const auto [written, first, second] = emulated.library.exchange(kMaker);
    EXPECT_EQ(first.result, 0);
    EXPECT_EQ(first.buffer, padded(""));
    EXPECT_EQ(second.buffer, padded(""));
}

TEST(EmulatedTransport, DropAfterFailsEveryLaterCall)
{
    Emulated emulated("--drop-after 2");
    EXPECT_EQ(emulated.library.exchange(kMaker).first.buffer, padded(framed("TARVENIC")));
    emulated.library.write(kModel);
    // The answer to the last command is still handed out, then the line is cut.
    const TransportLibrary::Read last = emulated.library.read('\0');
    EXPECT_EQ(last.result, 0);
    EXPECT_EQ(last.buffer, padded(framed("KR-5050")));
    EXPECT_NE(emulated.library.read(' ').result, 0);
    EXPECT_NE(emulated.library.write(kMaker), 0);
}

TEST(EmulatedTransport, RefusedOptionsAndMalformedCallsFail)
{
    {
        Emulated refused("--set sw1=300");
        EXPECT_NE(refused.library.write(kMaker), 0);
        EXPECT_NE(refused.library.read('\0').result, 0);
    }
    Emulated emulated("");
    SendxFunction sendx = emulated.library.sendx();
    char data[4] = {0x1D, 0x49, 0x42, 0};
    char buffer[32] = {};
    EXPECT_NE(sendx(data, "usb", 9600, 0, 0, 0, 0, buffer), 0) << "length below 1";
    EXPECT_NE(sendx(nullptr, "usb", 9600, 0, 4, 0, 0, buffer), 0) << "no data";
    EXPECT_NE(sendx(data, "usb", 9600, 0, 1, 5, 32, nullptr), 0) << "read without buffer";
    EXPECT_NE(sendx(data, "usb", 9600, 0, 4, 3, 32, buffer), 0) << "unknown mode";
    // A write of length 1 sends nothing and is fine.
    EXPECT_EQ(sendx(data, "usb", 9600, 0, 1, 0, 0, buffer), 0);
}

}  // namespace
