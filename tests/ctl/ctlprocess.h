#pragma once
// Running softswitchctl to its end, and the loopback
// addresses the fleet tests put their printers on.

#include "emulatorprocess.h"
#include "tempdir.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

struct Finished {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs softswitchctl with its output in files (no pipe can fill up).
inline Finished runCtl(std::vector<std::string> args, const TempDir& dir)
{
    args.insert(args.begin(), std::string(std::getenv("SOFTSWITCH_BIN")) + "/softswitchctl");
    const Streams files{-1, dir.file("stdout"), dir.file("stderr"), {}};
    int status = 0;
    waitpid(spawn(std::move(args), files), &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(files.out), readFile(files.err)};
}

// A /24 of loopback of this test's own, so tests running side by side (and
// other developers' tests on port 9100) never meet: "127.X.Y." + host.
inline std::string loopbackNet()
{
    const int pid = static_cast<int>(getpid());
    return "127." + std::to_string(20 + pid % 200) + "." + std::to_string(1 + (pid / 200) % 250) + ".";
}

// A TCP service on a loopback address that answers every connection with a
// greeting of another protocol, as a port scan meets them.
class OtherService {
public:
    OtherService(const std::string& host, int port)
    {
        m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int yes = 1;
        setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        inet_pton(AF_INET, host.c_str(), &address.sin_addr);
        if (bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(m_fd, 8) != 0)
            throw std::runtime_error("cannot listen on " + host);
        m_thread = std::thread([this] {
            while (!m_stop) {
                pollfd entry{m_fd, POLLIN, 0};
                if (poll(&entry, 1, 50) <= 0)
                    continue;
                const int client = accept(m_fd, nullptr, nullptr);
                const char greeting[] = "SSH-2.0-OpenSSH_9.2\r\n";
                if (client >= 0 && write(client, greeting, sizeof greeting - 1) >= 0)
                    poll(nullptr, 0, 200);
                close(client);
            }
        });
    }
    ~OtherService()
    {
        m_stop = true;
        m_thread.join();
        close(m_fd);
    }

private:
    int m_fd = -1;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
