#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

extern char** environ;

// Generous bound for anything a test waits for; never an expectation of speed.
inline constexpr std::chrono::milliseconds kPatience{10000};

// Polls until `done` holds (true) or the patience bound has passed (false).
template <class Predicate> bool waitUntil(Predicate done)
{
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (; !done(); poll(nullptr, 0, 5))
        if (std::chrono::steady_clock::now() > deadline)
            return false;
    return true;
}

// Where a child's standard streams go: a file descriptor for its output, or
// files by name (empty: inherited). Input is opened read and write, so
// opening a FIFO does not wait for a writer.
struct Streams {
    int outFd = -1;
    std::string out, err, in;
};

// Starts args[0]; throws when it cannot be started.
inline pid_t spawn(std::vector<std::string> args, const Streams& streams)
{
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (streams.outFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, streams.outFd, STDOUT_FILENO);
    for (const auto& [fd, file, flags] : {std::tuple{STDOUT_FILENO, &streams.out, O_WRONLY | O_CREAT | O_TRUNC},
                                          std::tuple{STDERR_FILENO, &streams.err, O_WRONLY | O_CREAT | O_TRUNC},
                                          std::tuple{STDIN_FILENO, &streams.in, O_RDWR}})
        if (!file->empty())
            posix_spawn_file_actions_addopen(&actions, fd, file->c_str(), flags, 0600);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + args[0]);
    return pid;
}

// printer-emulator from SOFTSWITCH_BIN, run as a child process. The
// constructor returns once the child has printed `readyLines` lines.
class EmulatorProcess {
public:
    explicit EmulatorProcess(std::vector<std::string> args, std::size_t readyLines = 1, const std::string& errorFile = {},
                             const std::string& inputFile = {})
    {
        const char* bin = std::getenv("SOFTSWITCH_BIN");
        if (!bin)
            throw std::runtime_error("SOFTSWITCH_BIN is not set");
        args.insert(args.begin(), std::string(bin) + "/printer-emulator");
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
        m_stdout = out[0];
        m_pid = spawn(args, {out[1], {}, errorFile, inputFile});
        close(out[1]);
        for (std::string line; m_lines.size() < readyLines;) {
            char c = 0;
            pollfd entry{m_stdout, POLLIN, 0};
            if (poll(&entry, 1, static_cast<int>(kPatience.count())) <= 0 || read(m_stdout, &c, 1) != 1)
                throw std::runtime_error("printer-emulator printed no ready line (got \"" + line + "\")");
            if (c != '\n')
                line.push_back(c);
            else
                m_lines.push_back(std::exchange(line, {}));
        }
    }
    ~EmulatorProcess()
    {
        // SIGTERM first, so that it removes its pty link for the next printer
        // in the same folder; SIGKILL if it does not end.
        if (m_pid > 0)
            stop(SIGTERM);
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        close(m_stdout);
    }
    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    const std::vector<std::string>& readyLines() const { return m_lines; }
    pid_t pid() const { return m_pid; }

    // The port of the first ready line, "listening tcp 127.0.0.1:PORT".
    int tcpPort() const { return std::stoi(m_lines.at(0).substr(m_lines[0].rfind(':') + 1)); }

    // Sends the signal (0: none, for a child that ends by itself) and returns
    // the exit status; -1 if it did not exit normally within the patience bound.
    int stop(int signalNumber = SIGTERM)
    {
        kill(m_pid, signalNumber);
        int status = 0;
        if (!waitUntil([&] { return waitpid(m_pid, &status, WNOHANG) != 0; }))
            return -1;
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid = -1;
    int m_stdout = -1;
    std::vector<std::string> m_lines;
};
