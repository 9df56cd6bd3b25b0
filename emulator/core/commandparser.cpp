#include "commandparser.h"

namespace emulator {

namespace {

constexpr char kGs = 0x1D;

// The bytes seen so far can still become this row.
bool fits(const CommandRow& row, std::string_view bytes)
{
    if (bytes.size() > row.length)
        return false;
    const std::size_t fixed = std::min(bytes.size(), row.prefix.size());
    return bytes.substr(0, fixed) == row.prefix.substr(0, fixed);
}

}  // namespace

CommandParser::CommandParser(std::span<const CommandRow> rows) : m_rows(rows)
{
    for (const CommandRow& row : m_rows)
        m_startsCommand[static_cast<unsigned char>(row.prefix.front())] = true;
}

void CommandParser::feed(std::string_view bytes, std::vector<Token>& out)
{
    for (char byte : bytes)
        push(byte, out);
}

void CommandParser::finish(std::vector<Token>& out)
{
    if (!m_pending.empty())
        giveUp(m_pending, out);
    m_pending.clear();
}

const CommandRow* CommandParser::completeRow(std::string_view bytes) const
{
    for (const CommandRow& row : m_rows) {
        if (bytes.size() == row.length && fits(row, bytes))
            return &row;
    }
    return nullptr;
}

void CommandParser::giveUp(std::string_view bytes, std::vector<Token>& out) const
{
    if (bytes.empty())
        return;
    if (bytes.front() == kGs) {
        out.push_back({Token::Kind::Skipped, nullptr, std::string(bytes)});
        return;
    }
    for (char byte : bytes)
        out.push_back({Token::Kind::Text, nullptr, std::string(1, byte)});
}

void CommandParser::push(char byte, std::vector<Token>& out)
{
    if (m_pending.empty()) {
        // Print text is by far the most common input: a byte that can start
        // no command needs no table work.
        if (!m_startsCommand[static_cast<unsigned char>(byte)]) {
            out.push_back({Token::Kind::Text, nullptr, std::string(1, byte)});
            return;
        }
        m_candidates.clear();
        for (const CommandRow& row : m_rows) {
            if (row.prefix.front() == byte)
                m_candidates.push_back(&row);
        }
        m_pending.push_back(byte);
    } else {
        // The rows that fitted so far only need the new byte checked.
        m_pending.push_back(byte);
        const std::size_t at = m_pending.size() - 1;
        std::erase_if(m_candidates, [&](const CommandRow* row) {
            return row->length <= at || (at < row->prefix.size() && row->prefix[at] != byte);
        });
    }

    const CommandRow* complete = nullptr;
    bool longer = false;
    for (const CommandRow* row : m_candidates) {
        if (row->length > m_pending.size())
            longer = true;
        else if (!complete)
            complete = row;
    }
    if (complete && !longer) {
        out.push_back({Token::Kind::Command, complete, m_pending});
        m_pending.clear();
        return;
    }
    if (complete || longer)
        return;  // wait for the next byte

    // Nothing fits. Take the longest complete command at the front, if any,
    // and look at the bytes behind it again.
    const std::string pending = std::move(m_pending);
    m_pending.clear();
    for (std::size_t size = pending.size() - 1; size > 0; --size) {
        if (const CommandRow* row = completeRow(std::string_view(pending).substr(0, size))) {
            out.push_back({Token::Kind::Command, row, pending.substr(0, size)});
            for (char again : std::string_view(pending).substr(size))
                push(again, out);
            return;
        }
    }
    // No command at the front: give up all but the offending byte, which may
    // start the next command.
    giveUp(std::string_view(pending).substr(0, pending.size() - 1), out);
    push(pending.back(), out);
}

}  // namespace emulator
