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
    if (bytes.front() == kGs) {
        out.push_back({Token::Kind::Skipped, nullptr, std::string(bytes)});
        return;
    }
    for (char byte : bytes)
        out.push_back({Token::Kind::Text, nullptr, std::string(1, byte)});
}

void CommandParser::push(char byte, std::vector<Token>& out)
{
    m_pending.push_back(byte);
    for (;;) {
        const CommandRow* complete = completeRow(m_pending);
        bool longer = false;
        for (const CommandRow& row : m_rows)
            longer = longer || (row.length > m_pending.size() && fits(row, m_pending));

        if (complete && !longer) {
            out.push_back({Token::Kind::Command, complete, m_pending});
            m_pending.clear();
            return;
        }
        if (complete || longer)
            return;  // wait for the next byte

        // Nothing fits. Take the longest complete command at the front, if
        // any, and look at the bytes behind it again.
        for (std::size_t size = m_pending.size() - 1; size > 0; --size) {
            if (const CommandRow* row = completeRow(std::string_view(m_pending).substr(0, size))) {
                out.push_back({Token::Kind::Command, row, m_pending.substr(0, size)});
                const std::string rest = m_pending.substr(size);
                m_pending.clear();
                for (char again : rest)
                    push(again, out);
                return;
            }
        }
        if (m_pending.size() == 1) {
            giveUp(m_pending, out);
            m_pending.clear();
            return;
        }
        giveUp(std::string_view(m_pending).substr(0, m_pending.size() - 1), out);
        m_pending.erase(0, m_pending.size() - 1);
    }
}

}  // namespace emulator
