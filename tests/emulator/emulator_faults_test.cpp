// Fault options and option parsing: each fault shows in what the printer
// sends back, and the option text is read the same by the server and the
// in-process library.
#include "emulatoroptions.h"
#include "printeremulator.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using emulator::EmulatorOptions;
using emulator::EmulatorSession;
using emulator::Field;
using emulator::OptionScope;
using emulator::PrinterEmulator;

namespace {

EmulatorOptions parsed(const std::string& text)
{
    emulator::OptionsResult result = emulator::parseOptions(emulator::splitOptionText(text), OptionScope::Executable);
    EXPECT_EQ(result.error, "") << text;
    return result.options;
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
    const EmulatorOptions options = parsed(GetParam().options);
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

INSTANTIATE_TEST_SUITE_P(
    Faults, Fault,
    ::testing::Values(
        FaultRow{"NoReplySilencesOnlyTheNamedQueries",
                 "--no-reply sw2 --no-reply model",
                 {{{kSwitch2, ""}, {kModel, ""}, {kSwitch1, framed("0")}, {kMaker, framed("TARVENIC")}}}},
        FaultRow{"GarbageGoesInFrontOfEveryReplyOnly",
                 "--garbage 'FF 41 5F'",
                 {{{kMaker, kGarbage + framed("TARVENIC")}, {kUnlock, ""}, {kModel, kGarbage + framed("KR-5050")}}}},
        FaultRow{"FirstModelReplyIsGivenOncePerConnection",
                 "--first-model-reply ';1' --set model=KR-31",
                 {{{kMaker, framed("TARVENIC")}, {kModel, framed(";1")}, {kModel, framed("KR-31")}},
                  {{kModel, framed(";1")}, {kModel, framed("KR-31")}}}},
        // Print data is not counted; the second command is answered, then the line is cut.
        FaultRow{"DropAfterCountsCommandsNotPrintData",
                 "--drop-after 2",
                 {{{hex("41 42 0D 0A") + kMaker, framed("TARVENIC")}, {kModel + kMaker, framed("KR-5050")}, {kMaker, ""}},
                  {{kMaker, framed("TARVENIC")}}}},
        // Bytes that came with the last answered command are still carried out.
        FaultRow{"DropAfterKeepsWhatCameInTheSamePacket",
                 "--drop-after 1",
                 {{{kMaker + kUnlock + hex("1D 67 38 27 39 00 00 00") + kLock + hex("41"), framed("TARVENIC")}},
                  {{kSwitch1, framed("9")}}}},
        FaultRow{"ClosingAConnectionLocksThePrinter",
                 "",
                 {{{kUnlock, ""}}, {{hex("1D 67 38 27 39 00 00 00") + kSwitch1, framed("0")}}}}),
    kRowName);

TEST(Faults, SplitReplyCutsIntoPiecesOfAtMostTheGivenSize)
{
    EXPECT_EQ(emulator::splitReply("_KR-5050", 3), (std::vector<std::string>{"_KR", "-50", "50"}));
    EXPECT_EQ(emulator::splitReply("_AB", 5), (std::vector<std::string>{"_AB"}));
    EXPECT_EQ(emulator::splitReply("_AB", 0), (std::vector<std::string>{"_AB"}));
    EXPECT_TRUE(emulator::splitReply("", 2).empty());
}

// Options whose effect the process and library tests cannot see.
TEST(Options, EndpointsSplitGapAndRemoteAreRead)
{
    const EmulatorOptions options =
        parsed("--tcp 127.0.0.1:0 --pty /tmp/lnk --set 'maker=Tarvenic Co' --split-gap 7 --allow-remote");
    EXPECT_EQ(options.tcpHost, "127.0.0.1");
    EXPECT_EQ(options.tcpPort, 0);
    EXPECT_TRUE(options.tcp);
    EXPECT_EQ(options.ptyLink, "/tmp/lnk");
    EXPECT_EQ(options.state.value(Field::Maker), "Tarvenic Co");
    EXPECT_EQ(options.faults.splitGap, std::chrono::milliseconds(7));
    EXPECT_TRUE(options.allowRemote);
    const EmulatorOptions defaults = parsed("");
    EXPECT_TRUE(defaults.tcp);
    EXPECT_EQ(defaults.tcpPort, 9100);
    EXPECT_FALSE(defaults.allowRemote);
    EXPECT_FALSE(parsed("--pty /tmp/x --no-tcp").tcp);
}

struct BadOptionRow {
    const char* name;
    const char* text;
    OptionScope scope = OptionScope::Executable;
};

class BadOption : public ::testing::TestWithParam<BadOptionRow> {};

TEST_P(BadOption, IsRefusedWithAReason)
{
    EXPECT_NE(emulator::parseOptions(emulator::splitOptionText(GetParam().text), GetParam().scope).error, "");
}

INSTANTIATE_TEST_SUITE_P(
    Options, BadOption,
    ::testing::Values(BadOptionRow{"UnknownOption", "--colour red"}, BadOptionRow{"MissingValue", "--set"},
                      BadOptionRow{"SetWithoutEquals", "--set model"}, BadOptionRow{"UnknownKey", "--set colour=red"},
                      BadOptionRow{"SwitchOutOfRange", "--set sw1=300"},
                      BadOptionRow{"New8x16NotOnOff", "--set new8x16=1"},
                      BadOptionRow{"NoReplyUnknownKey", "--no-reply colour"},
                      BadOptionRow{"DelayNotANumber", "--reply-delay soon"},
                      BadOptionRow{"SplitZero", "--split-reply 0"}, BadOptionRow{"DropAfterZero", "--drop-after 0"},
                      BadOptionRow{"GarbageNotHex", "--garbage xyz"},
                      BadOptionRow{"TcpInProcess", "--tcp 127.0.0.1:0", OptionScope::InProcess},
                      BadOptionRow{"PtyInProcess", "--pty /tmp/x", OptionScope::InProcess}),
    kRowName);

TEST(Options, SplitTextHonoursQuotesAndBlanks)
{
    using Args = std::vector<std::string>;
    EXPECT_EQ(emulator::splitOptionText("  --set  a=b\t--x "), (Args{"--set", "a=b", "--x"}));
    EXPECT_EQ(emulator::splitOptionText("--set 'maker=A B' \"c d\""), (Args{"--set", "maker=A B", "c d"}));
    EXPECT_EQ(emulator::splitOptionText("--set serial=''"), (Args{"--set", "serial="}));
    EXPECT_EQ(emulator::splitOptionText("''"), (Args{""}));
    EXPECT_TRUE(emulator::splitOptionText("   ").empty());
}

TEST(Options, UsageNamesEveryKeyWithItsDefault)
{
    const std::string usage = emulator::usageText(OptionScope::Executable);
    for (const emulator::FieldInfo& info : emulator::kFields)
        EXPECT_NE(usage.find(std::string(info.key) + "=" + std::string(info.defaultValue)), std::string::npos)
            << info.key;
    EXPECT_NE(usage.find("--tcp"), std::string::npos);
    EXPECT_EQ(emulator::usageText(OptionScope::InProcess).find("--tcp"), std::string::npos);
}

}  // namespace
