// Fault options and option parsing: each fault shows in what the printer
// sends back, and the option text is read the same by the server and the
// in-process library.
#include "emulatoroptions.h"
#include "hex.h"
#include "printeremulator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using emulator::EmulatorOptions;
using emulator::EmulatorSession;
using emulator::Field;
using emulator::OptionScope;
using emulator::PrinterEmulator;

namespace {

const std::string kModelQuery = hex("1D 49 43");
const std::string kMakerQuery = hex("1D 49 42");

EmulatorOptions parsed(const std::string& text, OptionScope scope = OptionScope::Executable)
{
    const std::vector<std::string> args = emulator::splitOptionText(text);
    emulator::OptionsResult result = emulator::parseOptions(args, scope);
    EXPECT_EQ(result.error, "") << text;
    return result.options;
}

std::string parseError(const std::string& text, OptionScope scope = OptionScope::Executable)
{
    const std::vector<std::string> args = emulator::splitOptionText(text);
    return emulator::parseOptions(args, scope).error;
}

TEST(Faults, NoReplySilencesOnlyTheNamedQueries)
{
    const EmulatorOptions options = parsed("--no-reply sw2 --no-reply model");
    PrinterEmulator printer(options.state, options.faults);
    EmulatorSession session(printer);
    EXPECT_EQ(session.feed(hex("1D 67 34 28 00")), "");
    EXPECT_EQ(session.feed(kModelQuery), "");
    EXPECT_EQ(session.feed(hex("1D 67 34 27 00")), framed("0"));
    EXPECT_EQ(session.feed(kMakerQuery), framed("TARVENIC"));
}

TEST(Faults, GarbageGoesInFrontOfEveryReplyOnly)
{
    const EmulatorOptions options = parsed("--garbage 'FF 41 5F'");
    PrinterEmulator printer(options.state, options.faults);
    EmulatorSession session(printer);
    EXPECT_EQ(session.feed(kMakerQuery), hex("FF 41 5F") + framed("TARVENIC"));
    EXPECT_EQ(session.feed(hex("1D 67 75 6E 6C 00")), "") << "commands without reply get no garbage";
    EXPECT_EQ(session.feed(kModelQuery), hex("FF 41 5F") + framed("KR-5050"));
}

TEST(Faults, FirstModelReplyIsGivenOncePerConnection)
{
    const EmulatorOptions options = parsed("--first-model-reply ';1' --set model=KR-31");
    PrinterEmulator printer(options.state, options.faults);
    for (int connection = 0; connection < 2; ++connection) {
        EmulatorSession session(printer);
        EXPECT_EQ(session.feed(kMakerQuery), framed("TARVENIC"));
        EXPECT_EQ(session.feed(kModelQuery), framed(";1")) << "connection " << connection;
        EXPECT_EQ(session.feed(kModelQuery), framed("KR-31"));
        EXPECT_EQ(session.feed(kModelQuery), framed("KR-31"));
    }
}

TEST(Faults, DropAfterCountsCommandsNotPrintData)
{
    const EmulatorOptions options = parsed("--drop-after 2");
    PrinterEmulator printer(options.state, options.faults);
    EmulatorSession session(printer);
    EXPECT_EQ(session.feed(hex("41 42 0D 0A") + kMakerQuery), framed("TARVENIC"));
    EXPECT_FALSE(session.dropRequested());
    // The second command is answered; the line is cut right after it.
    EXPECT_EQ(session.feed(kModelQuery + kMakerQuery), framed("KR-5050"));
    EXPECT_TRUE(session.dropRequested());
    EXPECT_EQ(session.feed(kMakerQuery), "");
    EXPECT_EQ(session.commandCount(), 2u);
}

TEST(Faults, SplitReplyCutsIntoPiecesOfAtMostTheGivenSize)
{
    EXPECT_EQ(emulator::splitReply("_KR-5050", 3), (std::vector<std::string>{"_KR", "-50", "50"}));
    EXPECT_EQ(emulator::splitReply("_AB", 5), (std::vector<std::string>{"_AB"}));
    EXPECT_EQ(emulator::splitReply("_AB", 0), (std::vector<std::string>{"_AB"}));
    EXPECT_TRUE(emulator::splitReply("", 2).empty());
}

TEST(Options, ReadEveryFaultAndSetting)
{
    const EmulatorOptions options =
        parsed("--tcp 127.0.0.1:0 --pty /tmp/lnk --set 'maker=Tarvenic Co' --set sw3=17 --transcript /tmp/t.txt "
               "--reply-delay 250 --split-reply 4 --split-gap 7 --garbage ff00 --drop-after 3 "
               "--first-model-reply ';1X' --no-reply thai --allow-remote");
    EXPECT_EQ(options.tcpEndpoint, "127.0.0.1:0");
    EXPECT_TRUE(options.tcp);
    EXPECT_EQ(options.ptyLink, "/tmp/lnk");
    EXPECT_EQ(options.state.value(Field::Maker), "Tarvenic Co");
    EXPECT_EQ(options.state.value(Field::Sw3), "17");
    EXPECT_EQ(options.transcriptPath, "/tmp/t.txt");
    EXPECT_EQ(options.faults.replyDelay, std::chrono::milliseconds(250));
    EXPECT_EQ(options.faults.splitReply, 4u);
    EXPECT_EQ(options.faults.splitGap, std::chrono::milliseconds(7));
    EXPECT_EQ(options.faults.garbage, hex("FF 00"));
    EXPECT_EQ(options.faults.dropAfter, 3u);
    EXPECT_EQ(options.faults.firstModelReply, ";1X");
    EXPECT_TRUE(options.faults.noReply[static_cast<std::size_t>(Field::Thai)]);
    EXPECT_FALSE(options.faults.noReply[static_cast<std::size_t>(Field::Model)]);
    EXPECT_TRUE(options.allowRemote);
}

TEST(Options, DefaultsListenOnLoopback9100WithoutFaults)
{
    const EmulatorOptions options = parsed("");
    EXPECT_TRUE(options.tcp);
    EXPECT_EQ(options.tcpEndpoint, "127.0.0.1:9100");
    EXPECT_FALSE(options.allowRemote);
    EXPECT_EQ(options.faults.replyDelay, std::chrono::milliseconds(0));
    EXPECT_EQ(options.faults.dropAfter, 0u);
    EXPECT_FALSE(options.faults.firstModelReply);
    EXPECT_FALSE(parsed("--pty /tmp/x --no-tcp").tcp);
}

struct BadOptionRow {
    const char* name;
    const char* text;
    OptionScope scope;
};

class BadOption : public ::testing::TestWithParam<BadOptionRow> {};

TEST_P(BadOption, IsRefusedWithAReason)
{
    EXPECT_NE(parseError(GetParam().text, GetParam().scope), "");
}

INSTANTIATE_TEST_SUITE_P(
    Options, BadOption,
    ::testing::Values(BadOptionRow{"UnknownOption", "--colour red", OptionScope::Executable},
                      BadOptionRow{"MissingValue", "--set", OptionScope::Executable},
                      BadOptionRow{"SetWithoutEquals", "--set model", OptionScope::Executable},
                      BadOptionRow{"UnknownKey", "--set colour=red", OptionScope::Executable},
                      BadOptionRow{"SwitchOutOfRange", "--set sw1=300", OptionScope::Executable},
                      BadOptionRow{"New8x16NotOnOff", "--set new8x16=1", OptionScope::Executable},
                      BadOptionRow{"NoReplyUnknownKey", "--no-reply colour", OptionScope::Executable},
                      BadOptionRow{"DelayNotANumber", "--reply-delay soon", OptionScope::Executable},
                      BadOptionRow{"SplitZero", "--split-reply 0", OptionScope::Executable},
                      BadOptionRow{"DropAfterZero", "--drop-after 0", OptionScope::Executable},
                      BadOptionRow{"GarbageNotHex", "--garbage xyz", OptionScope::Executable},
                      BadOptionRow{"TcpInProcess", "--tcp 127.0.0.1:0", OptionScope::InProcess},
                      BadOptionRow{"PtyInProcess", "--pty /tmp/x", OptionScope::InProcess}),
    [](const ::testing::TestParamInfo<BadOptionRow>& rowInfo) { return std::string(rowInfo.param.name); });

TEST(Options, InProcessScopeTakesSettingsTranscriptAndFaults)
{
    const EmulatorOptions options =
        parsed("--set sw1=9 --transcript /tmp/t --no-reply sw1 --reply-delay 5 --split-reply 2 --garbage 41 "
               "--drop-after 4 --first-model-reply ';1'",
               OptionScope::InProcess);
    EXPECT_EQ(options.state.value(Field::Sw1), "9");
    EXPECT_EQ(options.faults.splitReply, 2u);
}

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
    EXPECT_EQ(emulator::usageText(OptionScope::InProcess).find("--tcp"), std::string::npos);
}

}  // namespace
