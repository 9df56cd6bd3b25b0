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
#include <vector>

extern char** environ;

// Generous bound for anything a test waits for; never an expectation of speed.
inline constexpr std::chrono::milliseconds kPatience{10000};

// printer-emulator from SOFTSWITCH_BIN, run as a child process. The
// constructor returns once the child has printed its ready lines.
class EmulatorProcess {
public:
    explicit EmulatorProcess(std::vector<std::string> args, std::size_t readyLines = 1)
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
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            throw std::runtime_error("cannot start " + args[0]);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        m_stdout = out[0];
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
    }
    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    const std::vector<std::string>& readyLines() const { return m_lines; }

    // The port of the "listening tcp 127.0.0.1:PORT" line.
    int tcpPort() const
    {
        for (const std::string& line : m_lines) {
            if (line.rfind("listening tcp 127.0.0.1:", 0) == 0)
                return std::stoi(line.substr(line.rfind(':') + 1));
        }
        throw std::runtime_error("no tcp ready line");
    }

    // Sends the signal and returns the exit status (-1 if it did not exit
    // normally within the patience bound).
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
    std::vector<std::string> m_lines;
};

// Runs printer-emulator to its end and returns its exit status, for
// argument errors that end it at once.
inline int runEmulatorToEnd(std::vector<std::string> args)
{
    const char* bin = std::getenv("SOFTSWITCH_BIN");
    args.insert(args.begin(), std::string(bin ? bin : ".") + "/printer-emulator");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        return -1;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
