#include "platform/qt/qttimerdriver.h"

#include <QTimer>

namespace softswitch {

QtTimerDriver::QtTimerDriver(std::function<void()> onTick)
    : m_timer(std::make_unique<QTimer>()), m_onTick(std::move(onTick))
{
    m_timer->callOnTimeout([this] {
        if (m_onTick)
            m_onTick();
    });
}

QtTimerDriver::~QtTimerDriver() = default;

void QtTimerDriver::setTimer(bool enabled, std::chrono::milliseconds interval)
{
    if (!enabled) {
        m_timer->stop();
        return;
    }
    // Enabling a running timer restarts its interval, as a re-enabled Timer1 does.
    m_timer->start(interval);
}

bool QtTimerDriver::active() const
{
    return m_timer->isActive();
}

} // namespace softswitch
