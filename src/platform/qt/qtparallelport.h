#pragma once
// The parallel printer device as one POSIX file descriptor, opened for
// reading only or writing only. Reads are bounded in time: a printer that
// sends fewer bytes than asked for never hangs the window.

#include "platform/platform.h"

#include <chrono>
#include <string>

namespace softswitch {

class QtParallelPort : public ParallelPort {
public:
    // A read returns once it has the count asked for, a whole reply frame
    // ("_" up to its NUL), the end of the file, when no new byte came for
    // kReadIdle, and at the latest after kReadLimit. The printer has had the
    // exchange's 60 ms to answer before the read, so a short silence means
    // the reply is complete.
    static constexpr std::chrono::milliseconds kReadIdle{20};
    static constexpr std::chrono::milliseconds kReadLimit{500};

    explicit QtParallelPort(std::string path = "/dev/lp0");
    ~QtParallelPort() override;
    QtParallelPort(const QtParallelPort&) = delete;
    QtParallelPort& operator=(const QtParallelPort&) = delete;

    void close() override;
    bool open(bool forReading, PlatformError& error) override;
    void startCommand() override;
    // Gives up after kByteWriteLimit, or at the command's kCommandWriteLimit.
    bool write(std::uint8_t byte) override;
    std::string read(int count) override;

    const std::string& path() const { return m_path; }
    // Whether the bytes hold a whole reply frame: a "_" and a NUL after it.
    static bool frameComplete(const std::string& received);
    bool isOpen() const { return m_fd >= 0; }

private:
    std::string m_path;
    int m_fd = -1;
    std::chrono::steady_clock::time_point m_commandDeadline = std::chrono::steady_clock::time_point::max();
};

} // namespace softswitch
