#include "platform/qt/writelimit.h"

#include <QIODevice>

#include <algorithm>

namespace softswitch {

bool CommandWriteLimit::drain(QIODevice& device) const
{
    using namespace std::chrono;
    const steady_clock::time_point deadline = std::min(steady_clock::now() + kByteWriteLimit, m_deadline);
    while (device.bytesToWrite() > 0) {
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now());
        if (left.count() <= 0 || !device.waitForBytesWritten(static_cast<int>(left.count())))
            return device.bytesToWrite() == 0;
    }
    return true;
}

} // namespace softswitch
