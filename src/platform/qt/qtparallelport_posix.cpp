#include "platform/qt/qtparallelport.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

namespace softswitch {

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// One byte to a device that may have lost its reader (a FIFO): the write
// fails with EPIPE instead of killing the program with SIGPIPE.
ssize_t writeWithoutSigpipe(int fd, std::uint8_t byte)
{
    sigset_t pipeOnly;
    sigset_t previous;
    sigemptyset(&pipeOnly);
    sigaddset(&pipeOnly, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeOnly, &previous);
    const ssize_t written = ::write(fd, &byte, 1);
    const int writeErrno = errno;
    if (written < 0 && writeErrno == EPIPE) {
        const timespec noWait{0, 0};
        sigtimedwait(&pipeOnly, nullptr, &noWait); // drop the signal our write raised
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = writeErrno;
    return written;
}

} // namespace

QtParallelPort::QtParallelPort(std::string path) : m_path(std::move(path)) {}

QtParallelPort::~QtParallelPort()
{
    close();
}

void QtParallelPort::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool QtParallelPort::open(bool forReading, PlatformError& error)
{
    close();
    // Non-blocking, so that neither the open (a FIFO without a peer) nor a
    // later read can stall the window; waits are bounded with poll instead.
    const int flags = (forReading ? O_RDONLY : O_WRONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    m_fd = ::open(m_path.c_str(), flags);
    if (m_fd < 0) {
        const int number = errno;
        error = {number, std::strerror(number), m_path};
        return false;
    }
    return true;
}

void QtParallelPort::startCommand()
{
    m_commandDeadline = Clock::now() + kCommandWriteLimit;
}

bool QtParallelPort::write(std::uint8_t byte)
{
    // With no file open the byte is lost, as a write to a closed file number is.
    if (m_fd < 0)
        return true;
    const Clock::time_point deadline = std::min(Clock::now() + kByteWriteLimit, m_commandDeadline);
    for (;;) {
        const ssize_t written = writeWithoutSigpipe(m_fd, byte);
        if (written == 1)
            return true;
        if (written < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd ready{m_fd, POLLOUT, 0};
        if (::poll(&ready, 1, millisecondsLeft(deadline)) <= 0 && millisecondsLeft(deadline) == 0)
            return false; // not taken in time: this byte is not written, and the caller stops
    }
}

bool QtParallelPort::frameComplete(const std::string& received)
{
    const auto start = received.find('_');
    return start != std::string::npos && received.find('\0', start) != std::string::npos;
}

std::string QtParallelPort::read(int count)
{
    std::string received;
    if (m_fd < 0 || count <= 0)
        return received;
    const Clock::time_point limit = Clock::now() + kReadLimit;
    while (static_cast<int>(received.size()) < count) {
        char chunk[256];
        const std::size_t wanted = std::min(sizeof chunk, static_cast<std::size_t>(count) - received.size());
        const ssize_t got = ::read(m_fd, chunk, wanted);
        if (got > 0) {
            received.append(chunk, static_cast<std::size_t>(got));
            if (frameComplete(received))
                break;
            continue;
        }
        if (got == 0)
            break; // end of file: a regular file, or a FIFO nobody writes to any more
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            break;
        const int wait = std::min(static_cast<int>(kReadIdle.count()), millisecondsLeft(limit));
        pollfd ready{m_fd, POLLIN, 0};
        if (wait == 0 || ::poll(&ready, 1, wait) <= 0)
            break; // nothing more within the bound: return what arrived
    }
    return received;
}

} // namespace softswitch
