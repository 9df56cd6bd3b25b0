#include "outputqueue.h"

#include <algorithm>

namespace emulator {

void OutputQueue::add(const std::string& reply, Clock::time_point now)
{
    if (reply.empty() || m_bytes >= kMaxUnreadReplyBytes)
        return;
    m_bytes += reply.size();
    Clock::time_point at = now + m_faults.replyDelay;
    // A reply never overtakes the one before it.
    if (!m_pieces.empty() && m_pieces.back().due > at)
        at = m_pieces.back().due;
    bool first = true;
    for (std::string& piece : splitReply(reply, m_faults.splitReply)) {
        if (!first)
            at += m_faults.splitGap;
        first = false;
        m_pieces.push_back({std::move(piece), at});
    }
}

std::optional<std::string> OutputQueue::due(Clock::time_point now) const
{
    if (m_pieces.empty() || m_pieces.front().due > now)
        return std::nullopt;
    return m_pieces.front().bytes;
}

void OutputQueue::consume(std::size_t bytes)
{
    if (m_pieces.empty())
        return;
    Piece& front = m_pieces.front();
    bytes = std::min(bytes, front.bytes.size());
    front.bytes.erase(0, bytes);
    m_bytes -= bytes;
    if (front.bytes.empty())
        m_pieces.pop_front();
}

std::optional<Clock::time_point> OutputQueue::nextDue() const
{
    if (m_pieces.empty())
        return std::nullopt;
    return m_pieces.front().due;
}

}  // namespace emulator
