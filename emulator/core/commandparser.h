#pragma once

#include "commandtable.h"
#include "escpostoken.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace emulator {

// A command, a run of text, or bytes the grammar has no length for.
struct Token {
    EscPosToken::Kind kind = EscPosToken::Kind::Text;
    // Command: its row; nullptr for unknown bytes, which are skipped.
    const CommandRow* row = nullptr;
    std::string bytes;
    bool insideCommand = false;  // a real-time command within another's data
    bool continued = false;      // a piece of a long command, more to come

    std::string_view name() const;
    EscPosToken escPos() const;
};

// Control bytes that are no command: a printer ignores them; they stay in
// the print data.
inline constexpr CommandRow kIgnoredControl{"control", {}, CommandKind::Print};

// Text runs are cut at this length, so the tokens stay bounded.
inline constexpr std::size_t kMaxTextRun = 4096;
// A longer command (a big raster image) comes in pieces of this size.
inline constexpr std::size_t kMaxCommandPiece = 1 << 20;

// Splits a byte stream into the commands of the grammar and runs of text.
// Incremental: bytes may arrive one at a time or in any chunks, and the
// tokens do not depend on how the stream was cut. A text run ends where the
// next command begins (or at finish), since only then is it known to end.
//
// A command is found by the longest prefix of the table, then its length
// rule counts its parameters and data. Real-time status requests are also
// recognised between the bytes of another command's data, and answered at
// once. Bytes that fit no row are skipped as unknown: an introducer with its
// command byte, or a broken maker command up to the byte that broke it,
// which is looked at again as the possible start of the next command.
class CommandParser {
public:
    void feed(std::string_view bytes, std::vector<Token>& out);
    // End of stream: text still held comes out, and a command still
    // incomplete comes out as unknown bytes.
    void finish(std::vector<Token>& out);
    bool idle() const { return m_pending.empty() && m_text.empty(); }

private:
    void step(char byte, std::vector<Token>& out);
    std::size_t takeData(std::string_view bytes);
    void matchPrefix(std::vector<Token>& out);
    void choose(const CommandRow& row, std::vector<Token>& out);
    void takeParameter(char byte, std::vector<Token>& out);
    void reserveData();
    void watchRealTime(char byte, std::vector<Token>& out);
    void complete(std::vector<Token>& out);
    void flushText(std::vector<Token>& out);
    void skip(std::string bytes, std::vector<Token>& out);
    void replay(std::string_view bytes) { m_replay.insert(0, bytes); }

    std::string m_text;     // printable bytes of the current run
    std::string m_pending;  // the command so far (since the last piece)
    const CommandRow* m_row = nullptr;  // set once the prefix is known
    std::size_t m_params = 0;  // parameter and data bytes taken so far
    std::size_t m_need = 0;    // ask the length rule again at this many
    bool m_final = false;      // m_need is the whole length
    std::string m_realTime;    // a real-time command forming inside data
    std::string m_replay;      // bytes to look at again, before new input
};

}  // namespace emulator
