#pragma once

#include "emulatorprocess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

// A byte stream to the emulator: a loopback TCP client or an opened pty.
class ByteLink {
public:
    static ByteLink loopback(int port)
    {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // 127.0.0.1 only
        if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            close(fd);
            throw std::runtime_error("cannot connect to 127.0.0.1:" + std::to_string(port));
        }
        return ByteLink(fd);
    }

    static ByteLink terminal(const std::string& path)
    {
        const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            throw std::runtime_error("cannot open " + path);
        return ByteLink(fd);
    }

    ByteLink(ByteLink&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    ~ByteLink()
    {
        if (m_fd >= 0)
            close(m_fd);
    }

    void send(const std::string& bytes)
    {
        if (write(m_fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            throw std::runtime_error("short write");
    }

    // What one read returns once data is there; empty at end of stream or
    // when nothing came within the patience bound.
    std::string receiveSome()
    {
        pollfd entry{m_fd, POLLIN, 0};
        if (poll(&entry, 1, static_cast<int>(kPatience.count())) <= 0)
            return {};
        char buffer[512];
        const ssize_t count = read(m_fd, buffer, sizeof buffer);
        return count > 0 ? std::string(buffer, static_cast<std::size_t>(count)) : std::string();
    }

    // Reads until exactly `size` bytes have come (or the stream ended).
    std::string receive(std::size_t size)
    {
        std::string bytes;
        while (bytes.size() < size) {
            const std::string more = receiveSome();
            if (more.empty())
                break;
            bytes += more;
        }
        return bytes;
    }

    // True when the other side has closed or hung up.
    bool closedByPeer()
    {
        pollfd entry{m_fd, POLLIN, 0};
        if (poll(&entry, 1, static_cast<int>(kPatience.count())) <= 0)
            return false;
        char c = 0;
        return read(m_fd, &c, 1) <= 0;
    }

    int fd() const { return m_fd; }

private:
    explicit ByteLink(int fd) : m_fd(fd) {}
    int m_fd = -1;
};
