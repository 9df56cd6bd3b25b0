#pragma once

#include "commandtable.h"

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace emulator {

struct Token {
    enum class Kind {
        Command,  // a row of the command table, complete
        Text,     // one byte of print data
        Skipped,  // a GS sequence that matched no command
    };
    Kind kind = Kind::Text;
    const CommandRow* row = nullptr;  // set for Command
    std::string bytes;
};

// Splits a byte stream into commands of the table, print text and skipped
// bytes. Incremental: bytes may arrive one at a time or in any chunks, and the
// tokens do not depend on how the stream was cut.
//
// Matching takes the longest row that fits. When no row fits any more, the
// bytes before the offending byte are given up (as skipped bytes when they
// start with GS, as print text otherwise) and the offending byte is looked at
// again as the possible start of the next command, so one stray byte never
// costs the command behind it.
class CommandParser {
public:
    explicit CommandParser(std::span<const CommandRow> rows = kCommands);

    void feed(std::string_view bytes, std::vector<Token>& out);
    // End of stream: a command still incomplete comes out as skipped bytes.
    void finish(std::vector<Token>& out);
    bool idle() const { return m_pending.empty(); }

private:
    void push(char byte, std::vector<Token>& out);
    void giveUp(std::string_view bytes, std::vector<Token>& out) const;
    const CommandRow* completeRow(std::string_view bytes) const;

    std::span<const CommandRow> m_rows;
    std::array<bool, 256> m_startsCommand{};  // first bytes of the rows
    std::string m_pending;
    std::vector<const CommandRow*> m_candidates;  // rows m_pending still fits, in table order
};

}  // namespace emulator
