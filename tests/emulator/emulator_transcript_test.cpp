// The transcript: every received byte in hex, one line per command and one
// per run of print data, the same whatever the chunking.
#include "printeremulator.h"
#include "testsupport.h"
#include "transcript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>

using emulator::EmulatorSession;
using emulator::Event;
using emulator::PrinterEmulator;
using emulator::Transcript;

namespace {

// A Communication Test of a KR-5050, a switch 2 write and a fonts test page
// (shortened character blocks), as the utility sends them.
const std::string kUtilitySession = hex(
    "1D 49 42 1D 49 43 1D 49 41 1D 67 34 10 1D 67 34 1B 1D 67 34 15 1D 67 34 16"
    "1D 49 44 1D 67 34 09 1D 67 34 24 1D 49 45 1D 67 34 21 1D 67 34 22"
    "1D 67 34 25 00 1D 67 34 2B 00 1D 67 34 27 00 1D 67 34 28 00"
    "1D 67 75 6E 6C 00 1D 67 38 28 33 37 00 00 1D 67 6C 63 6B 00"
    "1B 21 01 46 4F 4E 54 3A 30 38 58 31 36 0D 0A 21 22 23 0D 0A"
    "1B 21 02 0A 0D 0A 1B 40 0D 0A 1B 69 1D 28 41 02 00 00 02");

const char* const kExpectedTranscript =
    "1D 49 42\n1D 49 43\n1D 49 41\n1D 67 34 10\n1D 67 34 1B\n1D 67 34 15\n1D 67 34 16\n"
    "1D 49 44\n1D 67 34 09\n1D 67 34 24\n1D 49 45\n1D 67 34 21\n1D 67 34 22\n"
    "1D 67 34 25 00\n1D 67 34 2B 00\n1D 67 34 27 00\n1D 67 34 28 00\n"
    "1D 67 75 6E 6C 00\n1D 67 38 28 33 37 00 00\n1D 67 6C 63 6B 00\n"
    "1B 21 01 46 4F 4E 54 3A 30 38 58 31 36 0D 0A\n21 22 23 0D 0A\n"
    "1B 21 02 0A\n0D 0A\n1B 40 0D 0A\n1B 69\n1D 28 41 02 00 00 02\n";

// The transcript of a stream fed in chunks of the sizes `nextChunk` gives;
// `replies` gets what went back.
std::string transcriptOf(const std::string& stream, const std::function<std::size_t()>& nextChunk,
                         std::string* replies = nullptr)
{
    TempDir dir;
    const std::string path = dir.file("transcript.txt");
    {
        Transcript transcript;
        EXPECT_TRUE(transcript.open(path));
        PrinterEmulator printer;
        printer.setEventHandler([&](const Event& event) { transcript.record(event); });
        EmulatorSession session(printer);
        for (std::size_t at = 0, chunk = 0; at < stream.size(); at += chunk) {
            chunk = nextChunk();
            const std::string reply = session.feed(std::string_view(stream).substr(at, chunk));
            if (replies)
                *replies += reply;
        }
    }
    return readFile(path);
}

TEST(Transcript, IsByteExactForAUtilitySessionInAnyChunking)
{
    for (std::size_t chunk : {4096, 1, 2, 3, 5, 7, 13})
        EXPECT_EQ(transcriptOf(kUtilitySession, [chunk] { return chunk; }), kExpectedTranscript) << "chunk " << chunk;
}

TEST(Transcript, APrintRunWithoutLineFeedEndsAtTheLimitAndWithTheConnection)
{
    const std::string line(emulator::kMaxPrintLineBytes, 'A');
    const std::string hexLine = emulator::hexBytes(line) + "\n";
    EXPECT_EQ(transcriptOf(line + line + "B", [] { return 1000; }), hexLine + hexLine + "42\n");
    EXPECT_EQ(transcriptOf(hex("41 42 43 1D 67"), [] { return 1; }), "41 42 43\n1D 67\n");
}

TEST(Transcript, RandomStreamsGiveEveryByteOnceAndTheSameLinesAndRepliesInAnyChunking)
{
    // Drawn mostly from command bytes, so that partial and broken commands are frequent.
    const std::string alphabet =
        hex("1D 49 42 43 67 34 27 00 38 75 6E 6C 63 6B 1B 21 40 69 0A 0D 28 41 02 7F 80 FF");
    std::mt19937 random(20240517);
    // First a utility session around every byte value, then random streams.
    std::string stream = kUtilitySession;
    for (int code = 0; code < 256; ++code)
        stream.push_back(static_cast<char>(code));
    stream += kUtilitySession;
    for (int round = 0; round < 300; ++round) {
        std::string wholeReplies, chunkedReplies;
        const std::string whole = transcriptOf(stream, [&] { return stream.size(); }, &wholeReplies);
        ASSERT_EQ(transcriptOf(stream, [&] { return 1 + random() % 9; }, &chunkedReplies), whole) << "round " << round;
        ASSERT_EQ(chunkedReplies, wholeReplies) << "round " << round;
        std::string joined = whole;  // the lines joined are the stream
        std::replace(joined.begin(), joined.end(), '\n', ' ');
        ASSERT_EQ(joined, emulator::hexBytes(stream) + (stream.empty() ? "" : " ")) << "round " << round;
        stream.clear();
        for (std::size_t i = 0, size = random() % 200; i < size; ++i)
            stream.push_back(alphabet[random() % alphabet.size()]);
    }
}

}  // namespace
