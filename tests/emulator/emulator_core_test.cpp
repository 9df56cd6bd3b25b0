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
#include <sstream>
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

// A row of grammar.rows: name, bytes, tokens.
class Grammar : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(Grammar, GivesTheseTokensInAnyChunking)
{
    const std::string stream = hex(GetParam().at(1));
    std::vector<std::string> expected;
    std::istringstream row(GetParam().at(2));
    for (std::string token; std::getline(row >> std::ws, token, ';');)
        expected.push_back(token);
    for (std::size_t chunk = 1; chunk <= stream.size(); ++chunk) {
        CommandParser parser;
        std::vector<Token> tokens;
        for (std::size_t at = 0; at < stream.size(); at += chunk)
            parser.feed(std::string_view(stream).substr(at, chunk), tokens);
        parser.finish(tokens);
        EXPECT_EQ(describe(tokens), expected) << "chunk " << chunk;
    }
}

INSTANTIATE_TEST_SUITE_P(EscPos, Grammar, ::testing::ValuesIn(tableRows(EMULATOR_TEST_DATA "/grammar.rows")),
                         [](const auto& row) { return row.param.at(0); });

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

// A row of status.rows: name, the printer's states, requests, replies.
class Status : public ::testing::TestWithParam<std::vector<std::string>> {};

// DLE EOT n: bits 1 and 4 always set; 1: drawer pin, high while the drawer
// is closed (2), offline (3);
// 2: cover open (2), stopped for paper end (5); 4: near end (2-3), paper
// end (5-6). GS r 1: near end (0-1), end (2-3); GS r 2: drawer pin (0).
// Automatic status: bit 4 of the first byte set; drawer (2), offline (3),
// cover (5); third byte: near end (0-1), end (2-3). Out of paper, the
// near-end sensor sees no paper either, and the printer is offline.
TEST_P(Status, IsAnsweredFromTheStates)
{
    PrinterEmulator printer(optionsFrom(GetParam().at(1)).state);
    EmulatorSession session(printer);
    EXPECT_EQ(hexBytes(session.feed(hex(GetParam().at(2)))), GetParam().at(3));
}

INSTANTIATE_TEST_SUITE_P(PrinterEmulator, Status, ::testing::ValuesIn(tableRows(EMULATOR_TEST_DATA "/status.rows")),
                         [](const auto& row) { return row.param.at(0); });

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

// The transcript's print lines end at a line feed or at the line bound; an
// image longer than the bound is a line of its own, and text after it starts
// the next one.
TEST(Transcript, TextAfterABigImageStartsALineOfItsOwn)
{
    PrinterEmulator printer;
    std::vector<std::string> lines;
    printer.setEventHandler([&lines](const Event& event) {
        if (event.kind == EventKind::PrintData)
            lines.emplace_back(event.bytes);
    });
    EmulatorSession session(printer);
    // GS v 0, 8000 bytes a row, one row.
    const std::string image = hex("1D 76 30 00 40 1F 01 00") + std::string(8000, '\x55');
    session.feed(image + "AB\n");
    session.close();
    EXPECT_EQ(lines, (std::vector<std::string>{image, "AB\n"}));
}

TEST(Options, SplitTextHonoursQuotesAndBlanks)
{
    using Args = std::vector<std::string>;
    EXPECT_EQ(splitOptionText("  --set  'a=b c'\t\"d\"'' e\n").args, (Args{"--set", "a=b c", "d", "e"}));
    EXPECT_EQ(splitOptionText("serial='' ''").args, (Args{"serial=", ""}));
    EXPECT_TRUE(splitOptionText("   ").args.empty());
}

}  // namespace
