#pragma once

#include "printeremulator.h"

#include <chrono>
#include <deque>
#include <optional>
#include <string>

namespace emulator {

using Clock = std::chrono::steady_clock;

// Replies waiting to be written, each piece with the moment it may go out.
// The reply-delay and split-reply faults are applied here. Holds at most
// about kMaxUnreadReplyBytes: replies beyond are dropped.
class OutputQueue {
public:
    explicit OutputQueue(const Faults& faults) : m_faults(faults) {}

    void add(const std::string& reply, Clock::time_point now);
    // A piece whose time has come, if any; consume() takes n bytes of it.
    std::optional<std::string> due(Clock::time_point now) const;
    void consume(std::size_t bytes);
    // When the next piece becomes due; nothing when the queue is empty.
    std::optional<Clock::time_point> nextDue() const;
    bool empty() const { return m_pieces.empty(); }

private:
    struct Piece {
        std::string bytes;
        Clock::time_point due;
    };

    const Faults& m_faults;
    std::deque<Piece> m_pieces;
    std::size_t m_bytes = 0;  // in m_pieces
};

}  // namespace emulator
