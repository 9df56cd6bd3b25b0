#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

// Generous bound for anything a test waits for; never an expectation of speed.
inline constexpr std::chrono::milliseconds kPatience{10000};

// printer-emulator from SOFTSWITCH_BIN, run as a child process. The
// constructor returns once the child has printed `readyLines` lines. With
// `captureErrors`, its standard error is kept for errorText().
class EmulatorProcess {
public:
    explicit EmulatorProcess(std::vector<std::string> args, std::size_t readyLines = 1, bool captureErrors = false)
    {
        const char* bin = std::getenv("SOFTSWITCH_BIN");
        if (!bin)
            throw std::runtime_error("SOFTSWITCH_BIN is not set");
        args.insert(args.begin(), std::string(bin) + "/printer-emulator");
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        int err[2] = {-1, -1};
        if (captureErrors) {
            if (pipe2(err, O_CLOEXEC) != 0)
                throw std::runtime_error("pipe failed");
            posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
        }
        const int spawned = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        m_stdout = out[0];
        if (captureErrors) {
            close(err[1]);
            m_stderr = err[0];
        }
        if (spawned != 0)
            throw std::runtime_error("cannot start " + args[0]);
        for (std::size_t i = 0; i < readyLines; ++i)
            m_lines.push_back(readLine());
    }
    ~EmulatorProcess()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        close(m_stdout);
        if (m_stderr >= 0)
            close(m_stderr);
    }
    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    const std::vector<std::string>& readyLines() const { return m_lines; }

    // The port of the first ready line, "listening tcp 127.0.0.1:PORT".
    int tcpPort() const { return std::stoi(m_lines.at(0).substr(m_lines[0].rfind(':') + 1)); }

    // Sends the signal (0: none, for a child that ends by itself) and returns
    // the exit status; -1 if it did not exit normally within the patience bound.
    int stop(int signalNumber = SIGTERM)
    {
        kill(m_pid, signalNumber);
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        int status = 0;
        while (waitpid(m_pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline)
                return -1;
            poll(nullptr, 0, 10);
        }
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Everything the child wrote to standard error; a child still running is
    // killed first, so the read ends.
    std::string errorText()
    {
        if (m_pid > 0)
            stop(SIGKILL);
        std::string text;
        char buffer[256];
        for (ssize_t count; m_stderr >= 0 && (count = read(m_stderr, buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<std::size_t>(count));
        return text;
    }

    // True once the child is seen asleep in a system call at many samples in
    // a row; a loop that spins (polls without waiting) is always running.
    bool settlesAsleep() const
    {
        constexpr int kSamplesInARow = 20;
        const std::string statPath = "/proc/" + std::to_string(m_pid) + "/stat";
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        for (int asleep = 0; std::chrono::steady_clock::now() < deadline; poll(nullptr, 0, 10)) {
            std::ifstream stat(statPath);
            std::string line;
            std::getline(stat, line);
            // The state letter follows the parenthesised program name.
            const std::size_t nameEnd = line.rfind(')');
            const bool sleeping = nameEnd != std::string::npos && line.size() > nameEnd + 2 && line[nameEnd + 2] == 'S';
            asleep = sleeping ? asleep + 1 : 0;
            if (asleep == kSamplesInARow)
                return true;
        }
        return false;
    }

private:
    std::string readLine()
    {
        std::string line;
        char c = 0;
        for (;;) {
            pollfd entry{m_stdout, POLLIN, 0};
            if (poll(&entry, 1, static_cast<int>(kPatience.count())) <= 0 || read(m_stdout, &c, 1) != 1)
                throw std::runtime_error("printer-emulator printed no ready line (got \"" + line + "\")");
            if (c == '\n')
                return line;
            line.push_back(c);
        }
    }

    pid_t m_pid = -1;
    int m_stdout = -1;
    int m_stderr = -1;
    std::vector<std::string> m_lines;
};

// Exit status of a printer-emulator run that ends by itself (argument errors,
// --help); `errorText`, when given, receives what it wrote to standard error.
inline int runEmulatorToEnd(std::vector<std::string> args, std::string* errorText = nullptr)
{
    EmulatorProcess process(std::move(args), 0, errorText != nullptr);
    const int status = process.stop(0);
    if (errorText)
        *errorText = process.errorText();
    return status;
}

// An owned byte stream: a loopback TCP client, an opened pty or FIFO, a pty master.
class ByteLink {
public:
    explicit ByteLink(int fd) : m_fd(fd)
    {
        if (fd < 0)
            throw std::runtime_error("no file descriptor");
    }
    ByteLink(ByteLink&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    ~ByteLink()
    {
        if (m_fd >= 0)
            close(m_fd);
    }

    // `receiveBuffer` (bytes, 0 = the system's default) is set before the
    // connection, so it also bounds the window the peer may fill.
    static ByteLink loopback(int port, int receiveBuffer = 0)
    {
        ByteLink link(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        if (receiveBuffer > 0)
            setsockopt(link.m_fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // 127.0.0.1 only
        if (connect(link.m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            throw std::runtime_error("cannot connect to 127.0.0.1:" + std::to_string(port));
        return link;
    }

    static ByteLink open(const std::string& path, int flags = O_RDWR | O_NOCTTY)
    {
        return ByteLink(::open(path.c_str(), flags | O_CLOEXEC));
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
        if (poll(&entry, 1, static_cast<int>(within.count())) <= 0)
            return {};
        char buffer[512];
        const ssize_t count = read(m_fd, buffer, sizeof buffer);
        return count > 0 ? std::string(buffer, static_cast<std::size_t>(count)) : std::string();
    }

    // Reads until `size` bytes have come (or the stream ended or went quiet).
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

private:
    int m_fd = -1;
};
