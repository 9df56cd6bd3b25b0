#pragma once
// Timer1 as a QTimer on the calling thread: every interval it calls onTick.

#include "platform/platform.h"

#include <functional>
#include <memory>

class QTimer;

namespace softswitch {

class QtTimerDriver : public TimerDriver {
public:
    explicit QtTimerDriver(std::function<void()> onTick);
    ~QtTimerDriver() override;
    QtTimerDriver(const QtTimerDriver&) = delete;
    QtTimerDriver& operator=(const QtTimerDriver&) = delete;

    void setTimer(bool enabled, std::chrono::milliseconds interval) override;
    bool active() const;

private:
    std::unique_ptr<QTimer> m_timer;
    std::function<void()> m_onTick;
};

} // namespace softswitch
