#include "platform/qt/qteventloop.h"

#include <QCoreApplication>
#include <QThread>

#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace softswitch {

QtEventLoop::QtEventLoop()
{
#ifdef __linux__
    // A silent TCP/IP query sleeps 1 ms a thousand times; the kernel's default
    // 50 us of timer slack on each wake-up would add 50 ms to it.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}

void QtEventLoop::sleep(std::chrono::milliseconds duration)
{
    if (duration.count() > 0)
        QThread::msleep(static_cast<unsigned long>(duration.count()));
}

void QtEventLoop::processEvents()
{
    // Without an application object there is no event loop to run.
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

} // namespace softswitch
