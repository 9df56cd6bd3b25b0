#pragma once
// Fixed waits as real sleeps, and one batch of the application's pending events.

#include "platform/platform.h"

namespace softswitch {

class QtEventLoop : public EventLoop {
public:
    QtEventLoop(); // on the thread that will sleep
    void sleep(std::chrono::milliseconds duration) override;
    void processEvents() override;
};

} // namespace softswitch
