#pragma once

#include "emulatorprocess.h"
#include "tempdir.h"
#include "transcript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

// Test rows spell bytes the way the transcript does: "1D 49 42".
inline std::string hex(std::string_view text)
{
    std::optional<std::string> bytes = emulator::parseHexBytes(text);
    if (!bytes)
        throw std::invalid_argument("bad hex in test row: " + std::string(text));
    return *bytes;
}

// A framed reply "_" value NUL, spelled out without the helper under test.
inline std::string framed(std::string_view value) { return "_" + std::string(value) + std::string(1, '\0'); }

inline const std::string kMaker = hex("1D 49 42");

// An owned byte stream: an opened FIFO or a pty end.
class ByteLink {
public:
    explicit ByteLink(int fd) : m_fd(fd)
    {
        if (fd < 0)
            throw std::runtime_error("no file descriptor");
    }
    ~ByteLink() { close(m_fd); }
    ByteLink(const ByteLink&) = delete;
    ByteLink& operator=(const ByteLink&) = delete;

    void send(const std::string& bytes)
    {
        if (write(m_fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            throw std::runtime_error("short write");
    }

    // What one read returns once data is there; empty at end of stream or
    // when nothing came within `within`.
    std::string receiveSome(std::chrono::milliseconds within = kPatience)
    {
        pollfd entry{m_fd, POLLIN, 0};
        char buffer[512];
        const ssize_t count = poll(&entry, 1, static_cast<int>(within.count())) > 0 ? read(m_fd, buffer, sizeof buffer) : 0;
        return std::string(buffer, static_cast<std::size_t>(std::max<ssize_t>(count, 0)));
    }

    // Reads until `size` bytes have come (or the stream ended or went quiet).
    std::string receive(std::size_t size)
    {
        std::string bytes, more;
        while (bytes.size() < size && !(more = receiveSome()).empty())
            bytes += more;
        return bytes;
    }

private:
    int m_fd;
};
