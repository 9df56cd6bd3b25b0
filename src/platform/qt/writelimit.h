#pragma once
// The write limits of one command on a Qt device that buffers what it
// cannot hand over at once (a serial port, a socket).

#include "platform/platform.h"

#include <chrono>

class QIODevice;

namespace softswitch {

class CommandWriteLimit {
public:
    // A command starts: from now it has kCommandWriteLimit.
    void start() { m_deadline = std::chrono::steady_clock::now() + kCommandWriteLimit; }
    // Waits until the device has handed over everything it holds, at most
    // kByteWriteLimit and never past the command's limit; false if it has not.
    bool drain(QIODevice& device) const;

private:
    std::chrono::steady_clock::time_point m_deadline = std::chrono::steady_clock::time_point::max();
};

} // namespace softswitch
