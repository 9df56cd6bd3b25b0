#include "platform/qt/qteventloop.h"

#include <QCoreApplication>
#include <QThread>

namespace softswitch {

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
