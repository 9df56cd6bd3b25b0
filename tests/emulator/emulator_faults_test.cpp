// Sessions over one printer: each fault shows in what it sends back, while
// every received byte is still recorded; and the option text, read the same
// by the server and the in-process library.
#include "emulatoroptions.h"
#include "printeremulator.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using emulator::EmulatorOptions;
using emulator::EmulatorSession;
using emulator::OptionScope;
using emulator::PrinterEmulator;

namespace {

std::string errorInProcess(const std::string& text)
{
    return emulator::parseOptions(emulator::splitOptionText(text), OptionScope::InProcess).error;
}

// What is sent on one connection and what must come back for it.
struct Step {
    std::string send;
    std::string reply;
};

struct FaultRow {
    const char* name;
    const char* options;
    std::vector<std::vector<Step>> connections;
};

class Fault : public ::testing::TestWithParam<FaultRow> {};

TEST_P(Fault, ShowsInTheRepliesAndEveryByteIsRecorded)
{
    const EmulatorOptions options = optionsFrom(GetParam().options);
    PrinterEmulator printer(options.state, options.faults);
    std::string sent, recorded;
    printer.setEventHandler([&recorded](const emulator::Event& event) { recorded += event.bytes; });
    for (std::size_t connection = 0; connection < GetParam().connections.size(); ++connection) {
        EmulatorSession session(printer);
        for (std::size_t step = 0; step < GetParam().connections[connection].size(); ++step) {
            const Step& row = GetParam().connections[connection][step];
            EXPECT_EQ(session.feed(row.send), row.reply) << "connection " << connection << " step " << step;
            sent += row.send;
        }
    }
    EXPECT_EQ(emulator::hexBytes(recorded), emulator::hexBytes(sent));
}

const std::string kGarbage = hex("FF 41 5F");
const std::string kSwitch2 = hex("1D 67 34 28 00");
const std::string kWriteSwitch1To9 = hex("1D 67 38 27 39 00 00 00");

INSTANTIATE_TEST_SUITE_P(
    Faults, Fault,
    ::testing::Values(
        FaultRow{"NoReplySilencesOnlyTheNamedQueries",
                 "--no-reply sw2 --no-reply model",
                 {{{kSwitch2, ""}, {kModel, ""}, {kSwitch1, framed("0")}, {kMaker, framed("TARVENIC")}}}},
        FaultRow{"GarbageGoesInFrontOfEveryReplyOnly",
                 "--garbage 'ff 415F'",
                 {{{kMaker, kGarbage + framed("TARVENIC")}, {kUnlock, ""}, {kModel, kGarbage + framed("KR-5050")}}}},
        FaultRow{"FirstModelReplyIsGivenOncePerConnection",
                 "--first-model-reply ';1' --set model=KR-31",
                 {{{kMaker, framed("TARVENIC")}, {kModel, framed(";1")}, {kModel, framed("KR-31")}},
                  {{kModel, framed(";1")}, {kModel, framed("KR-31")}}}},
        // Print data is not counted; the second command is answered, then the line is cut.
        FaultRow{"DropAfterCountsCommandsNotPrintData",
                 "--drop-after 2",
                 {{{hex("41 42 0D 0A") + kMaker, framed("TARVENIC")},
                   {kModel + kMaker, framed("KR-5050")},
                   {kMaker, ""}},
                  {{kMaker, framed("TARVENIC")}}}},
        // Bytes that came with the last answered command are still carried out.
        FaultRow{"DropAfterKeepsWhatCameInTheSamePacket",
                 "--drop-after 1",
                 {{{kMaker + kUnlock + kWriteSwitch1To9 + kLock + hex("41"), framed("TARVENIC")}},
                  {{kSwitch1, framed("9")}}}},
        FaultRow{"ClosingAConnectionLocksThePrinter",
                 "",
                 {{{kUnlock, ""}}, {{kWriteSwitch1To9 + kSwitch1, framed("0")}}}},
        // Counters keep their width; ESC @ and CR LF are print data, a line feed counts.
        FaultRow{"PrintingCountsLinesAndCuts",
                 "--set lines=0099 --set cuts=9",
                 {{{hex("41 0D 0A 42 0D 0A 1B 40 0D 0A 1B 69"), ""},
                   {hex("1D 67 34 1B 1D 67 34 15"), framed("0102") + framed("10")}}}}),
    kRowName);

// What the process and library tests cannot see: the defaults, the gap,
// --allow-remote, the options the library takes and the usage texts.
TEST(Options, AreReadForTheServerAndTheLibrary)
{
    const EmulatorOptions defaults = optionsFrom("");
    EXPECT_TRUE(defaults.tcp);
    EXPECT_EQ(defaults.tcpHost + ":" + std::to_string(defaults.tcpPort), "127.0.0.1:9100");
    EXPECT_FALSE(defaults.allowRemote);
    const EmulatorOptions options = optionsFrom("--pty /tmp/lnk --no-tcp --split-gap 7 --allow-remote");
    EXPECT_FALSE(options.tcp);
    EXPECT_EQ(options.faults.splitGap, std::chrono::milliseconds(7));
    EXPECT_TRUE(options.allowRemote);
    EXPECT_EQ(errorInProcess("--set sw1=1 --transcript f --no-reply maker --reply-delay 1 --split-reply 2 "
                             "--garbage 41 --drop-after 3 --first-model-reply x"),
              "");
    EXPECT_NE(errorInProcess("--tcp 127.0.0.1:0"), "");
    EXPECT_NE(errorInProcess("--pty /tmp/x"), "");
    // --help lists every key with its default; the library's has no endpoints.
    const std::string usage = emulator::usageText(OptionScope::Executable);
    for (const emulator::FieldInfo& info : emulator::kFields)
        EXPECT_NE(usage.find(std::string(info.key) + "=" + std::string(info.defaultValue)), std::string::npos);
    EXPECT_EQ(emulator::usageText(OptionScope::InProcess).find("--tcp"), std::string::npos);
}

TEST(Options, SplitTextHonoursQuotesAndBlanks)
{
    using Args = std::vector<std::string>;
    EXPECT_EQ(emulator::splitOptionText("  --set  'a=b c'\t\"d\"'' e\n"), (Args{"--set", "a=b c", "d", "e"}));
    EXPECT_EQ(emulator::splitOptionText("serial='' ''"), (Args{"serial=", ""}));
    EXPECT_TRUE(emulator::splitOptionText("   ").empty());
}

}  // namespace
