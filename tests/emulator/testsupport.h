#pragma once

#include "emulatoroptions.h"
#include "emulatorprocess.h"
#include "tempdir.h"
#include "transcript.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

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

// Options read as the server reads them; a bad one in a test row throws.
inline emulator::EmulatorOptions optionsFrom(const std::string& text)
{
    emulator::OptionsResult parsed = emulator::parseOptionText(text, emulator::OptionScope::Executable);
    if (!parsed.error.empty())
        throw std::invalid_argument(parsed.error);
    return parsed.options;
}

// A framed reply "_" value NUL, spelled out without the helper under test.
inline std::string framed(std::string_view value) { return "_" + std::string(value) + std::string(1, '\0'); }

inline const std::string kUnlock = hex("1D 67 75 6E 6C 00");
inline const std::string kLock = hex("1D 67 6C 63 6B 00");
inline const std::string kMaker = hex("1D 49 42");
inline const std::string kModel = hex("1D 49 43");
inline const std::string kSwitch1 = hex("1D 67 34 27 00");

// An owned byte stream: a loopback TCP client, an opened pty or FIFO, a pty master.
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

    // `receiveBuffer` (bytes) is set before the connection, so it also bounds
    // the window the peer may fill.
    static int loopback(int port, int receiveBuffer = 1 << 16)
    {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // 127.0.0.1 only
        if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            throw std::runtime_error("cannot connect to 127.0.0.1:" + std::to_string(port));
        return fd;
    }

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

// Sends `command` and expects exactly `reply` back.
inline void expectReply(ByteLink& link, const std::string& command, const std::string& reply)
{
    link.send(command);
    EXPECT_EQ(link.receive(reply.size()), reply) << "for " << emulator::hexBytes(command);
}
