// The emulator core without I/O: stray bytes never cost the command behind
// them, and what the drop fault and a closed connection leave behind. That
// any stream in any chunking is recorded byte for byte and answered alike is
// the parser fuzz target's property; what the utility sees of the emulator
// (every query's answer, writes kept between unlock and lock, the framing,
// the transcript, each fault on each link) the end-to-end cases show byte
// for byte.
#include "commandparser.h"
#include "printeremulator.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using namespace emulator;

namespace {

// "C:name=bytes" for a command, "T:41" for a text byte, "S:1D 67" for skipped bytes.
std::vector<std::string> describe(const std::vector<Token>& tokens)
{
    std::vector<std::string> lines;
    for (const Token& token : tokens) {
        const std::string bytes = hexBytes(token.bytes);
        if (token.kind == Token::Kind::Command)
            lines.push_back("C:" + std::string(token.row->name) + "=" + bytes);
        else
            lines.push_back((token.kind == Token::Kind::Text ? "T:" : "S:") + bytes);
    }
    return lines;
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
    for (std::size_t chunk = 1; chunk <= stream.size(); ++chunk) {
        CommandParser parser;
        std::vector<Token> tokens;
        for (std::size_t at = 0; at < stream.size(); at += chunk)
            parser.feed(std::string_view(stream).substr(at, chunk), tokens);
        parser.finish(tokens);
        EXPECT_EQ(describe(tokens), GetParam().expected) << "chunk " << chunk;
    }
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
    [](const auto& row) { return std::string(row.param.name); });

// Past the Nth command a session still carries out and records what it
// receives but answers nothing; a connection that ends locks the printer.
TEST(PrinterEmulator, PastTheDropCommandsActUnansweredAndAnEndedConnectionLocks)
{
    const EmulatorOptions options = optionsFrom("--drop-after 2");
    PrinterEmulator printer(options.state, options.faults);
    std::string sent, recorded;
    printer.setEventHandler([&recorded](const Event& event) { recorded += event.bytes; });
    const auto feed = [&sent](EmulatorSession& session, const std::string& bytes) {
        sent += bytes;
        return session.feed(bytes);
    };
    {
        EmulatorSession session(printer);
        EXPECT_EQ(feed(session, hex("41 42 0D 0A") + kMaker), framed("TARVENIC")) << "print data is not counted";
        EXPECT_EQ(feed(session, kModel + kMaker + kUnlock + hex("1D 67 38 27 39 00 00 00") + kLock), framed("KR-5050"));
        EXPECT_EQ(feed(session, kMaker), "");
    }
    EmulatorSession next(printer);
    EXPECT_EQ(feed(next, kSwitch1 + kUnlock), framed("9")) << "counted anew on the next connection";
    next.close();
    EmulatorSession last(printer);
    EXPECT_EQ(feed(last, hex("1D 67 38 27 37 00 00 00") + kSwitch1), framed("9")) << "locked when `next` ended";
    EXPECT_EQ(hexBytes(recorded), hexBytes(sent));
}

}  // namespace
