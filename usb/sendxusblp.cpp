// libKR5050 for real printers on Linux: the sendx call over the kernel's
// usblp device (/dev/usb/lp0, or the path in KR5050_DEVICE).
#include "kr5050/sendx.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace {

using kr5050::SendxResult;
using kr5050::toResult;

constexpr const char* kDefaultDevice = "/dev/usb/lp0";
// The printer takes a command in well under this; a longer stall is a fault.
constexpr std::chrono::milliseconds kWriteWait{2000};
// The caller already waits before each read; this only covers a reply still
// on its way over the bus.
constexpr std::chrono::milliseconds kReadWait{100};

class Device {
public:
    ~Device() { closeDevice(); }

    int32_t write(const char* bytes, std::size_t count)
    {
        if (!ensureOpen())
            return toResult(SendxResult::NoDevice);
        std::size_t done = 0;
        while (done < count) {
            if (!waitFor(POLLOUT, kWriteWait))
                return fail();
            const ssize_t written = ::write(m_fd, bytes + done, count - done);
            if (written < 0 && errno != EAGAIN && errno != EINTR)
                return fail();
            if (written > 0)
                done += static_cast<std::size_t>(written);
        }
        return toResult(SendxResult::Ok);
    }

    // Fills buffer with what the printer sent, up to its size; nothing
    // having arrived within the wait is a successful empty read.
    int32_t read(char* buffer, std::size_t size)
    {
        if (!ensureOpen())
            return toResult(SendxResult::NoDevice);
        if (!waitFor(POLLIN, kReadWait))
            return toResult(SendxResult::Ok);
        const ssize_t count = ::read(m_fd, buffer, size);
        if (count < 0 && errno != EAGAIN && errno != EINTR)
            return fail();
        return toResult(SendxResult::Ok);
    }

private:
    static std::string path()
    {
        const char* configured = std::getenv("KR5050_DEVICE");
        return configured && *configured ? configured : kDefaultDevice;
    }

    bool ensureOpen()
    {
        const std::string wanted = path();
        if (m_fd >= 0 && wanted == m_path)
            return true;
        closeDevice();
        m_fd = open(wanted.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0)
            return false;
        m_path = wanted;
        // A serial adapter or test terminal must pass the bytes unchanged.
        termios settings{};
        if (tcgetattr(m_fd, &settings) == 0) {
            cfmakeraw(&settings);
            tcsetattr(m_fd, TCSANOW, &settings);
        }
        return true;
    }

    bool waitFor(short events, std::chrono::milliseconds wait) const
    {
        pollfd entry{m_fd, events, 0};
        int ready = 0;
        do {
            ready = poll(&entry, 1, static_cast<int>(wait.count()));
        } while (ready < 0 && errno == EINTR);
        return ready > 0 && (entry.revents & events);
    }

    // After an error the device is opened anew by the next call (the
    // printer may have been unplugged and plugged in again).
    int32_t fail()
    {
        closeDevice();
        return toResult(SendxResult::IoError);
    }

    void closeDevice()
    {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = -1;
        m_path.clear();
    }

    int m_fd = -1;
    std::string m_path;
};

std::mutex g_mutex;
Device g_device;

}  // namespace

extern "C" __attribute__((visibility("default"))) int32_t sendx(char* data, const char* /*port*/, int32_t /*baud*/,
                                                                 int32_t /*a4*/, int32_t length, int32_t mode,
                                                                 int32_t bufferLength, char* buffer)
{
    std::lock_guard lock(g_mutex);
    return kr5050::dispatch(g_device, data, length, mode, bufferLength, buffer);
}
