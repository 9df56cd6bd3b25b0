#pragma once
// An event loop that passes every call on and sums the sleeps asked for: the
// floor no run of a flow can go below.

#include "platform/platform.h"

#include <chrono>

namespace softswitch {

class SummingLoop : public EventLoop {
public:
    explicit SummingLoop(EventLoop& inner) : m_inner(inner) {}
    void sleep(std::chrono::milliseconds duration) override
    {
        slept += duration;
        m_inner.sleep(duration);
    }
    void processEvents() override { m_inner.processEvents(); }
    std::chrono::milliseconds slept{0};

private:
    EventLoop& m_inner;
};

} // namespace softswitch
