// The emulator core without I/O: the command grammar (each command's length
// in any chunking), the status replies from the printer's states, the
// counters and the token hook, and the option text's quoting. What the
// utility sees of the emulator (every command it sends, the framing, each
// fault on each link) the end-to-end cases show byte for byte.
#include "commandparser.h"
#include "escpostoken.h"
#include "printeremulator.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using namespace emulator;

namespace {

// "C:name=bytes" for a command, "R:name=bytes" for a real-time command inside
// another's data, "T:41 42" for a text run, "S:1D 67" for skipped bytes.
std::vector<std::string> describe(const std::vector<Token>& tokens)
{
    std::vector<std::string> lines;
    for (const Token& token : tokens) {
        const std::string bytes = hexBytes(token.bytes);
        if (token.kind == EscPosToken::Kind::Text)
            lines.push_back("T:" + bytes);
        else if (!token.row)
            lines.push_back("S:" + bytes);
        else
            lines.push_back((token.insideCommand ? "R:" : "C:") + std::string(token.name()) + "=" + bytes);
    }
    return lines;
}

struct GrammarRow {
    const char* name;
    const char* input;
    std::vector<std::string> expected;
};

class Grammar : public ::testing::TestWithParam<GrammarRow> {};

TEST_P(Grammar, GivesTheseTokensInAnyChunking)
{
    const std::string stream = hex(GetParam().input);
    for (std::size_t chunk = 1; chunk <= stream.size(); ++chunk) {
        CommandParser parser;
        std::vector<Token> tokens;
        for (std::size_t at = 0; at < stream.size(); at += chunk)
            parser.feed(std::string_view(stream).substr(at, chunk), tokens);
        parser.finish(tokens);
        EXPECT_EQ(describe(tokens), GetParam().expected) << "chunk " << chunk;
    }
}

// Each command's length on a byte stream: parameter and data bytes that look
// like commands or text stay inside their command; what follows is text.
INSTANTIATE_TEST_SUITE_P(
    EscPos, Grammar,
    ::testing::Values(
        GrammarRow{"SingleByteCommands", "41 0A 42 0D 09 0C 18 00",
                   {"T:41", "C:LF=0A", "T:42", "C:CR=0D", "C:HT=09", "C:FF=0C", "C:CAN=18", "C:control=00"}},
        GrammarRow{"FixedParametersMayLookLikeCommands", "1B 61 1B 1B 33 0A 1D 21 11 1B 70 00 19 FA 1B 4A 41",
                   {"C:ESC a=1B 61 1B", "C:ESC 3=1B 33 0A", "C:GS !=1D 21 11", "C:ESC p=1B 70 00 19 FA",
                    "C:ESC J=1B 4A 41"}},
        GrammarRow{"BitImageSingleDensity", "1B 2A 00 02 00 0A 1B 41", {"C:ESC *=1B 2A 00 02 00 0A 1B", "T:41"}},
        GrammarRow{"BitImageThreeBytesADot", "1B 2A 21 01 00 0A 0A 0A 42", {"C:ESC *=1B 2A 21 01 00 0A 0A 0A", "T:42"}},
        GrammarRow{"RasterXTimesY", "1D 76 30 00 02 00 02 00 0A 1D 0A 1B 43",
                   {"C:GS v 0=1D 76 30 00 02 00 02 00 0A 1D 0A 1B", "T:43"}},
        GrammarRow{"GraphicsWithAFourByteCount", "1D 38 4C 03 00 00 00 30 70 30 44",
                   {"C:GS 8 L=1D 38 4C 03 00 00 00 30 70 30", "T:44"}},
        GrammarRow{"BarcodeUpToNul", "1D 6B 04 41 31 00 45", {"C:GS k=1D 6B 04 41 31 00", "T:45"}},
        GrammarRow{"BarcodeCounted", "1D 6B 49 03 7B 42 0A 46", {"C:GS k=1D 6B 49 03 7B 42 0A", "T:46"}},
        GrammarRow{"FunctionByItsLength", "1D 28 6B 04 00 31 41 32 00 47", {"C:GS (=1D 28 6B 04 00 31 41 32 00", "T:47"}},
        GrammarRow{"UnknownFunctionSkippedByItsLength", "1D 28 7A 02 00 FF FE 1C 28 41 01 00 0A 4C",
                   {"C:GS (=1D 28 7A 02 00 FF FE", "C:FS (=1C 28 41 01 00 0A", "T:4C"}},
        GrammarRow{"TabListUpToNul", "1B 44 08 10 00 48", {"C:ESC D=1B 44 08 10 00", "T:48"}},
        GrammarRow{"CutWithAndWithoutFeed", "1D 56 00 1D 56 41 10 49 1D 56 31",
                   {"C:GS V=1D 56 00", "C:GS V=1D 56 41 10", "T:49", "C:GS V=1D 56 31"}},
        GrammarRow{"QrCodeOfAClientDialect", "1B 5A 00 4C 06 02 00 41 42 4A", {"C:ESC Z=1B 5A 00 4C 06 02 00 41 42", "T:4A"}},
        GrammarRow{"UserDefinedCharacters", "1B 26 03 41 42 01 AA BB CC 00 4E",
                   {"C:ESC &=1B 26 03 41 42 01 AA BB CC 00", "T:4E"}},
        GrammarRow{"StatusRequestBetweenText", "41 10 04 01 42", {"T:41", "C:DLE EOT=10 04 01", "T:42"}},
        GrammarRow{"StatusRequestInsideImageData", "1D 76 30 00 01 00 03 00 10 04 04 4B",
                   {"R:DLE EOT=10 04 04", "C:GS v 0=1D 76 30 00 01 00 03 00 10 04 04", "T:4B"}},
        GrammarRow{"DrawerPulseInsideBarcodeText", "1D 6B 04 10 14 01 01 05 00",
                   {"R:DLE DC4 1=10 14 01 01 05", "C:GS k=1D 6B 04 10 14 01 01 05 00"}},
        GrammarRow{"RealTimeFunctionsByTheirLength", "10 14 01 00 05 10 14 08 01 03 14 01 06 02 08 41",
                   {"C:DLE DC4 1=10 14 01 00 05", "C:DLE DC4=10 14 08 01 03 14 01 06 02 08", "T:41"}},
        GrammarRow{"UnknownEscapeSkipsItsCommandByte", "1B 7E 41 1D 7E 42", {"S:1B 7E", "T:41", "S:1D 7E", "T:42"}},
        // The maker's own commands, and how a broken one gives way.
        GrammarRow{"StrayGsBeforeQuery", "1D 1D 49 42", {"S:1D", "C:getMakerInfo=1D 49 42"}},
        GrammarRow{"TextBeforeQuery", "41 42 1D 49 41", {"T:41 42", "C:getPrinterInfo2=1D 49 41"}},
        GrammarRow{"SwitchQueryMissingItsNul", "1D 67 34 27 1D 49 42",
                   {"C:GS g 4 ?=1D 67 34 27", "C:getMakerInfo=1D 49 42"}},
        GrammarRow{"UnknownIdentificationSelector", "1D 49 7F", {"C:GS I ?=1D 49 7F"}},
        GrammarRow{"UnknownWriteSelector", "1D 67 38 7F 1D 49 43", {"S:1D 67 38", "T:7F", "C:getPrinterInfo1=1D 49 43"}},
        GrammarRow{"BrokenUnlockThenLock", "1D 67 75 6E 00 1D 67 6C 63 6B 00",
                   {"S:1D 67 75 6E", "C:control=00", "C:lock=1D 67 6C 63 6B 00"}},
        GrammarRow{"GsInsideBrokenCommandStartsTheNext", "1D 67 75 1D 67 34 24",
                   {"S:1D 67 75", "C:getLanguageInfo1=1D 67 34 24"}},
        GrammarRow{"PrintModeTakesAnyByteEvenLineFeed", "1B 21 0A 41", {"C:ESC !=1B 21 0A", "T:41"}},
        GrammarRow{"WriteArgumentsMayHoldGs", "1D 67 38 27 1D 49 42 00", {"C:WriteSwitch1=1D 67 38 27 1D 49 42 00"}},
        GrammarRow{"CommandCutOffAtEndOfStream", "1D 49 43 1D 67 34", {"C:getPrinterInfo1=1D 49 43", "S:1D 67 34"}},
        GrammarRow{"SelfTestAndAnotherTestPrint", "1D 28 41 02 00 00 02 1D 28 41 02 00 00 01",
                   {"C:self test=1D 28 41 02 00 00 02", "C:GS (=1D 28 41 02 00 00 01"}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(CommandParser, ACommandTooLongToHoldComesInPiecesThatAddUpToIt)
{
    // A raster of 1.5 MiB: header, then 1536 rows of 1024 bytes.
    std::string raster = hex("1D 76 30 00 00 04 00 06");
    raster += std::string(std::size_t{1024} * 1536, '\x55');
    CommandParser parser;
    std::vector<Token> tokens;
    for (std::size_t at = 0; at < raster.size(); at += 4000)
        parser.feed(std::string_view(raster).substr(at, 4000), tokens);
    parser.feed("Z", tokens);
    parser.finish(tokens);
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_TRUE(tokens[0].continued);
    EXPECT_FALSE(tokens[1].continued);
    EXPECT_EQ(tokens[0].bytes + tokens[1].bytes, raster);
    EXPECT_EQ(tokens[2].bytes, "Z");
}

struct StatusRow {
    const char* name;
    const char* states;
    const char* request;
    const char* reply;
};

class Status : public ::testing::TestWithParam<StatusRow> {};

// DLE EOT n: bits 1 and 4 always set; 1: drawer pin, high while the drawer
// is closed (2), offline (3);
// 2: cover open (2), stopped for paper end (5); 4: near end (2-3), paper
// end (5-6). GS r 1: near end (0-1), end (2-3); GS r 2: drawer pin (0).
// Automatic status: bit 4 of the first byte set; drawer (2), offline (3),
// cover (5); third byte: near end (0-1), end (2-3). Out of paper, the
// near-end sensor sees no paper either, and the printer is offline.
TEST_P(Status, IsAnsweredFromTheStates)
{
    PrinterEmulator printer(optionsFrom(GetParam().states).state);
    EmulatorSession session(printer);
    EXPECT_EQ(hexBytes(session.feed(hex(GetParam().request))), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(
    PrinterEmulator, Status,
    ::testing::Values(StatusRow{"AllWell", "", "10 04 01 10 04 02 10 04 03 10 04 04 1D 72 01 1D 72 02",
                                "16 12 12 12 00 01"},
                      StatusRow{"PaperNearEnd", "--set paper=near-end", "10 04 01 10 04 04 1D 72 31", "16 1E 03"},
                      StatusRow{"PaperOut", "--set paper=out", "10 04 01 10 04 02 10 04 04 1D 72 01",
                                "1E 32 7E 0F"},
                      StatusRow{"CoverOpen", "--set cover=open", "10 04 01 10 04 02 10 04 04", "1E 16 12"},
                      StatusRow{"DrawerOpen", "--set drawer=open", "10 04 01 1D 72 02 1D 72 32", "12 00 00"},
                      StatusRow{"Offline", "--set online=no", "10 04 01 10 04 02", "1E 12"},
                      StatusRow{"AutomaticStatusAtEnable", "--set paper=out --set drawer=open", "1D 61 0F",
                                "18 00 0F 00"},
                      StatusRow{"AutomaticStatusOff", "", "1D 61 00", ""},
                      StatusRow{"UnknownSelectorsAreSilent", "", "10 04 05 1D 72 07", ""},
                      StatusRow{"AskedInsideImageData", "--set paper=out", "1D 76 30 00 01 00 03 00 10 04 04", "7E"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(PrinterEmulator, AutomaticStatusReportsEachWatchedChangeOnce)
{
    PrinterEmulator printer;
    EmulatorSession session(printer);
    EXPECT_EQ(session.automaticStatusDue(), "") << "not asked for";
    EXPECT_EQ(hexBytes(session.feed(hex("1D 61 08"))), "14 00 00 00") << "paper sensors only";
    EXPECT_EQ(printer.setValue("drawer", "open"), "");
    EXPECT_EQ(session.automaticStatusDue(), "") << "the drawer is not watched";
    EXPECT_EQ(printer.setValue("paper", "near-end"), "");
    EXPECT_EQ(hexBytes(session.automaticStatusDue()), "10 00 03 00");
    EXPECT_EQ(session.automaticStatusDue(), "") << "once";
    EXPECT_NE(printer.setValue("paper", "empty"), "");
}

TEST(PrinterEmulator, PrintsAndCutsAreCountedAndEveryTokenReachesTheConsumer)
{
    PrinterEmulator printer(optionsFrom("--set lines=10 --set cuts=7").state);
    std::string seen;
    printer.setTokenHandler([&seen](const EscPosToken& token) {
        seen += (token.kind == EscPosToken::Kind::Text ? "T:" : std::string(token.name) + ":") +
                hexBytes(std::string(token.bytes.begin(), token.bytes.end())) + ";";
    });
    printer.setConnectionEndHandler([&seen] { seen += "end;"; });
    EmulatorSession session(printer);
    session.feed(hex("41 0A 1B 64 03 1D 56 42 05 1D 56 01 1B 69 1B 6D 42"));
    session.close();
    EXPECT_EQ(printer.state().value(Field::Lines), "14");
    EXPECT_EQ(printer.state().value(Field::Cuts), "11");
    EXPECT_EQ(seen, "T:41;LF:0A;ESC d:1B 64 03;GS V:1D 56 42 05;GS V:1D 56 01;ESC i:1B 69;ESC m:1B 6D;T:42;end;");
}

TEST(Options, SplitTextHonoursQuotesAndBlanks)
{
    using Args = std::vector<std::string>;
    EXPECT_EQ(splitOptionText("  --set  'a=b c'\t\"d\"'' e\n").args, (Args{"--set", "a=b c", "d", "e"}));
    EXPECT_EQ(splitOptionText("serial='' ''").args, (Args{"serial=", ""}));
    EXPECT_TRUE(splitOptionText("   ").args.empty());
}

}  // namespace
