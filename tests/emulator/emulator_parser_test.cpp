// The command parser: stray and broken bytes never cost the command behind
// them, whatever the chunking. (That every row of the table is recognised is
// shown by the query, write and transcript tests, which send them all.)
#include "commandparser.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using emulator::CommandParser;
using emulator::Token;

namespace {

// "C:name=bytes" for a command, "T:41" for a text byte, "S:1D 67" for skipped bytes.
std::vector<std::string> describe(const std::vector<Token>& tokens)
{
    std::vector<std::string> lines;
    for (const Token& token : tokens) {
        const std::string bytes = emulator::hexBytes(token.bytes);
        if (token.kind == Token::Kind::Command)
            lines.push_back("C:" + std::string(token.row->name) + "=" + bytes);
        else
            lines.push_back((token.kind == Token::Kind::Text ? "T:" : "S:") + bytes);
    }
    return lines;
}

std::vector<Token> parseInChunks(const std::string& stream, std::size_t chunk)
{
    CommandParser parser;
    std::vector<Token> tokens;
    for (std::size_t at = 0; at < stream.size(); at += chunk)
        parser.feed(std::string_view(stream).substr(at, chunk), tokens);
    parser.finish(tokens);
    return tokens;
}

struct ResyncRow {
    const char* name;
    const char* input;
    std::vector<std::string> expected;
};

class Resync : public ::testing::TestWithParam<ResyncRow> {};

TEST_P(Resync, GivesTheseTokensInAnyChunking)
{
    const std::string stream = hex(GetParam().input);
    for (std::size_t chunk = 1; chunk <= stream.size(); ++chunk)
        EXPECT_EQ(describe(parseInChunks(stream, chunk)), GetParam().expected) << "chunk " << chunk;
}

INSTANTIATE_TEST_SUITE_P(
    CommandParser, Resync,
    ::testing::Values(
        ResyncRow{"StrayGsBeforeQuery", "1D 1D 49 42", {"S:1D", "C:getMakerInfo=1D 49 42"}},
        ResyncRow{"TextBeforeQuery", "41 42 1D 49 41", {"T:41", "T:42", "C:getPrinterInfo2=1D 49 41"}},
        ResyncRow{"SwitchQueryMissingItsNul",
                  "1D 67 34 27 1D 49 42",
                  {"C:GS g 4 ?=1D 67 34 27", "C:getMakerInfo=1D 49 42"}},
        ResyncRow{"UnknownIdentificationSelector", "1D 49 7F", {"C:GS I ?=1D 49 7F"}},
        ResyncRow{"UnknownDataSelector", "1D 67 34 7F 1D 49 43",
                  {"C:GS g 4 ?=1D 67 34 7F", "C:getPrinterInfo1=1D 49 43"}},
        ResyncRow{"UnknownWriteSelector", "1D 67 38 7F 1D 49 43", {"S:1D 67 38", "T:7F", "C:getPrinterInfo1=1D 49 43"}},
        ResyncRow{"BrokenUnlockThenLock", "1D 67 75 6E 00 1D 67 6C 63 6B 00",
                  {"S:1D 67 75 6E", "T:00", "C:lock=1D 67 6C 63 6B 00"}},
        ResyncRow{"GsInsideBrokenCommandStartsTheNext", "1D 67 75 1D 67 34 24",
                  {"S:1D 67 75", "C:getLanguageInfo1=1D 67 34 24"}},
        ResyncRow{"UnknownEscapeIsText", "1B 4A 41", {"T:1B", "T:4A", "T:41"}},
        ResyncRow{"PrintModeTakesAnyByteEvenLineFeed", "1B 21 0A 41", {"C:ESC !=1B 21 0A", "T:41"}},
        ResyncRow{"WriteArgumentsMayHoldGs", "1D 67 38 27 1D 49 42 00", {"C:WriteSwitch1=1D 67 38 27 1D 49 42 00"}},
        ResyncRow{"CommandCutOffAtEndOfStream", "1D 49 43 1D 67 34", {"C:getPrinterInfo1=1D 49 43", "S:1D 67 34"}},
        ResyncRow{"SelfTestWithWrongParameter", "1D 28 41 02 00 00 01 1D 49 42",
                  {"S:1D 28 41 02 00 00", "T:01", "C:getMakerInfo=1D 49 42"}}),
    kRowName);

}  // namespace
