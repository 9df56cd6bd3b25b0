#include "emulatorserver.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pty.h>
#include <sys/signalfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>

namespace emulator {

namespace {

// Control lines are short; a big print job is read in big chunks, so a
// megabyte takes a few reads rather than hundreds of reads and polls.
constexpr std::size_t kReadChunk = 4096;
constexpr std::size_t kReceiveChunk = 256 * 1024;
constexpr int kListenBacklog = 4;
// A printer's output buffer is small. Kept small in the kernel too, most
// replies a client leaves unread wait in our own bounded queue, not in
// megabytes of socket buffer.
constexpr int kSocketSendBufferBytes = 16 * 1024;
// A pending pty drop looks this often whether the last reply has been read,
// waits at least kDropGrace after the last write and at most kDropPatience.
constexpr std::chrono::milliseconds kDrainPoll{10};
constexpr std::chrono::milliseconds kDropGrace{50};
constexpr std::chrono::milliseconds kDropPatience{2000};

std::string systemError(const std::string& what) { return what + ": " + std::strerror(errno); }

void setNonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

bool isLoopback(const sockaddr_in& address) { return (ntohl(address.sin_addr.s_addr) >> 24) == 127; }

// The slave path LINK points at, or empty text when LINK is no symbolic link.
std::string linkTarget(const std::string& link)
{
    std::error_code error;
    const std::filesystem::path target = std::filesystem::read_symlink(link, error);
    return error ? std::string() : target.string();
}

// Links LINK to target. A path that exists is someone else's (another
// emulator's link, a file), so it is refused rather than taken over; only a
// link whose pseudo-terminal is gone, left by an emulator that was killed,
// is replaced. `ours` is the target of the link this emulator made before
// (empty at start): that link is replaced in one step.
std::string makeLink(const std::string& target, const std::string& link, const std::string& ours)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (!ours.empty() && linkTarget(link) == ours) {
        const std::string temporary = link + ".new";
        fs::remove(temporary, error);
        fs::create_symlink(target, temporary, error);
        if (!error)
            fs::rename(temporary, link, error);
        return error ? "cannot link " + link + ": " + error.message() : std::string();
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        // symlink() fails when the path exists: no window in which two
        // emulators both believe the path free.
        if (symlink(target.c_str(), link.c_str()) == 0)
            return {};
        if (errno != EEXIST)
            return systemError("cannot link " + link);
        const fs::file_status status = fs::symlink_status(link, error);
        const bool stale = fs::is_symlink(status) && !fs::exists(fs::status(link, error));
        if (!stale)
            break;
        fs::remove(link, error);
    }
    return link + " already exists and is not this emulator's (another emulator's link?)";
}

}  // namespace

EmulatorServer::EmulatorServer(PrinterEmulator& printer, const EmulatorOptions& options)
    : m_printer(printer), m_options(options)
{
}

EmulatorServer::~EmulatorServer()
{
    closeClient();
    if (m_listenFd >= 0)
        close(m_listenFd);
    if (m_pty) {
        m_pty->session.close();
        close(m_pty->fd);
        close(m_ptySlaveFd);
        // Only the link this emulator made: another may have taken the path since.
        std::error_code ignored;
        if (!m_linkTarget.empty() && linkTarget(m_options.ptyLink) == m_linkTarget)
            std::filesystem::remove(m_options.ptyLink, ignored);
    }
}

std::string EmulatorServer::start()
{
    if (m_options.tcp) {
        if (std::string error = openTcp(); !error.empty())
            return error;
    }
    if (!m_options.ptyLink.empty()) {
        if (std::string error = openPty(); !error.empty())
            return error;
        m_readyLines.push_back("listening pty " + m_options.ptyLink);
    }
    return {};
}

std::string EmulatorServer::openTcp()
{
    // The option parser has checked the form and the port's range.
    const std::string endpoint = m_options.tcpHost + ":" + std::to_string(m_options.tcpPort);
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(m_options.tcpPort);
    if (const int error = getaddrinfo(m_options.tcpHost.c_str(), port.c_str(), &hints, &found); error != 0)
        return "cannot resolve " + endpoint + ": " + gai_strerror(error);
    sockaddr_in address{};
    std::memcpy(&address, found->ai_addr, sizeof address);
    freeaddrinfo(found);
    if (!isLoopback(address) && !m_options.allowRemote)
        return endpoint + " is not a loopback address (use --allow-remote)";

    m_listenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0)
        return systemError("socket");
    const int yes = 1;
    setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (bind(m_listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return systemError("cannot listen on " + endpoint);
    if (listen(m_listenFd, kListenBacklog) != 0)
        return systemError("listen");
    socklen_t size = sizeof address;
    getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &size);
    std::array<char, INET_ADDRSTRLEN> text{};
    inet_ntop(AF_INET, &address.sin_addr, text.data(), text.size());
    m_readyLines.push_back("listening tcp " + std::string(text.data()) + ":" + std::to_string(ntohs(address.sin_port)));
    return {};
}

std::string EmulatorServer::openPty()
{
    int master = -1;
    int slave = -1;
    std::array<char, 256> slaveName{};
    if (openpty(&master, &slave, slaveName.data(), nullptr, nullptr) != 0)
        return systemError("openpty");
    // Raw: the bytes of the commands and replies pass unchanged (no echo,
    // no CR/LF translation, NUL and GS are plain bytes).
    termios settings{};
    tcgetattr(slave, &settings);
    cfmakeraw(&settings);
    tcsetattr(slave, TCSANOW, &settings);
    setNonBlocking(master);
    fcntl(master, F_SETFD, FD_CLOEXEC);
    fcntl(slave, F_SETFD, FD_CLOEXEC);
    if (std::string error = makeLink(slaveName.data(), m_options.ptyLink, m_linkTarget); !error.empty()) {
        close(master);
        close(slave);
        return error;
    }
    m_linkTarget = slaveName.data();
    m_pty = std::make_unique<Channel>(m_printer);
    m_pty->fd = master;
    m_ptySlaveFd = slave;
    return {};
}

void EmulatorServer::acceptClient()
{
    const int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0)
        return;
    // Each write of a split reply should leave as its own segment.
    const int yes = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &kSocketSendBufferBytes, sizeof kSocketSendBufferBytes);
    m_client = std::make_unique<Channel>(m_printer);
    m_client->fd = fd;
    m_client->lastReceived = Clock::now();
    m_othersWaiting = false;
}

void EmulatorServer::closeClient()
{
    if (!m_client)
        return;
    m_client->session.close();
    close(m_client->fd);
    m_client.reset();
    // Whoever waits is accepted on the next turn; the listening socket is
    // watched again.
    m_othersWaiting = false;
}

bool EmulatorServer::ptyDrained() const
{
    // Bytes written to the master reach the slave's queue a moment later,
    // so an empty queue counts only after a grace period; a client that
    // never reads is cut off after a longer one.
    const Clock::duration since = Clock::now() - m_pty->lastWrite;
    if (since < kDropGrace)
        return false;
    int unread = 0;
    return since > kDropPatience || ioctl(m_ptySlaveFd, FIONREAD, &unread) != 0 || unread == 0;
}

void EmulatorServer::dropPty()
{
    // A dropped line on a pseudo-terminal: a new pair is linked at the same
    // path first, then the old one goes away and its users see a hangup.
    std::unique_ptr<Channel> old = std::move(m_pty);
    const int oldSlave = m_ptySlaveFd;
    m_ptySlaveFd = -1;
    if (const std::string error = openPty(); !error.empty())
        std::cerr << "printer-emulator: " << error << "\n";
    old->session.close();
    close(old->fd);
    close(oldSlave);
}

bool EmulatorServer::receive(Channel& channel)
{
    m_receiveBuffer.resize(kReceiveChunk);
    const ssize_t count = read(channel.fd, m_receiveBuffer.data(), m_receiveBuffer.size());
    if (count == 0)
        return false;
    if (count < 0)
        return errno == EAGAIN || errno == EINTR;
    channel.lastReceived = Clock::now();
    channel.output.add(channel.session.feed(std::string_view(m_receiveBuffer.data(), static_cast<std::size_t>(count))),
                       channel.lastReceived);
    return true;
}

bool EmulatorServer::send(Channel& channel)
{
    // write() serves sockets and the pty alike; SIGPIPE is ignored, so a
    // vanished peer shows as EPIPE.
    while (std::optional<std::string> piece = channel.output.due(Clock::now())) {
        if (channel.blocked)
            return true;
        const ssize_t written = write(channel.fd, piece->data(), piece->size());
        if (written < 0) {
            // A full buffer: the loop waits for POLLOUT instead of retrying
            // at once, which would spin while the client does not read.
            channel.blocked = errno == EAGAIN;
            return errno == EAGAIN || errno == EINTR;
        }
        channel.output.consume(static_cast<std::size_t>(written));
        channel.lastWrite = Clock::now();
    }
    return true;
}

void EmulatorServer::readControl()
{
    std::array<char, kReadChunk> buffer{};
    const ssize_t count = read(STDIN_FILENO, buffer.data(), buffer.size());
    if (count <= 0) {
        m_controlOpen = count < 0 && (errno == EAGAIN || errno == EINTR);
        return;
    }
    for (char c : std::string_view(buffer.data(), static_cast<std::size_t>(count))) {
        if (c != '\n') {
            // A line longer than any control line is garbage: kept bounded.
            if (m_controlLine.size() < kReadChunk)
                m_controlLine.push_back(c);
            continue;
        }
        control(m_controlLine);
        m_controlLine.clear();
    }
}

void EmulatorServer::control(std::string_view line)
{
    // "set KEY=VALUE ..."; blank lines and "#" comments pass.
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    const SplitText split = splitOptionText(line);
    const std::vector<std::string>& words = split.args;
    if (split.error.empty() && (words.empty() || words.front().starts_with('#')))
        return;
    if (!split.error.empty() || words.front() != "set" || words.size() < 2) {
        std::cerr << "printer-emulator: standard input: expected \"set KEY=VALUE\", got \"" << line << "\"\n";
        return;
    }
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::size_t equals = words[i].find('=');
        const std::string error = equals == std::string::npos
                                      ? "expected KEY=VALUE, got \"" + words[i] + "\""
                                      : m_printer.setValue(std::string_view(words[i]).substr(0, equals),
                                                           std::string_view(words[i]).substr(equals + 1));
        if (!error.empty())
            std::cerr << "printer-emulator: standard input: " << error << "\n";
    }
    // Clients that asked for automatic status hear of the change at once.
    for (Channel* channel : {m_client.get(), m_pty.get()}) {
        if (channel)
            channel->output.add(channel->session.automaticStatusDue(), Clock::now());
    }
}

std::optional<Clock::time_point> EmulatorServer::idleDeadline() const
{
    if (!m_client || !m_othersWaiting || m_options.idleTimeout.count() == 0)
        return std::nullopt;
    return m_client->lastReceived + m_options.idleTimeout;
}

void EmulatorServer::run(int signalFd, const std::function<bool()>& mustStop)
{
    while (!mustStop || !mustStop()) {
        // One client is served at a time; the others wait in the listen
        // queue. That one is waiting is all we need to know (a served
        // client idle for too long then makes room), so the listening
        // socket is watched only until it reports a waiting client.
        if (const std::optional<Clock::time_point> deadline = idleDeadline(); deadline && Clock::now() >= *deadline)
            closeClient();
        std::array<pollfd, 5> fds{};
        std::size_t count = 0;
        fds[count++] = {signalFd, POLLIN, 0};
        const std::size_t controlAt = count;
        if (m_controlOpen)
            fds[count++] = {STDIN_FILENO, POLLIN, 0};
        const std::size_t listenAt = count;
        if (m_listenFd >= 0 && !m_othersWaiting)
            fds[count++] = {m_listenFd, POLLIN, 0};
        const auto events = [](const Channel& channel) {
            return static_cast<short>(channel.blocked ? POLLIN | POLLOUT : POLLIN);
        };
        const std::size_t clientAt = count;
        if (m_client)
            fds[count++] = {m_client->fd, events(*m_client), 0};
        const std::size_t ptyAt = count;
        if (m_pty)
            fds[count++] = {m_pty->fd, events(*m_pty), 0};

        // Sleep until input or writability, or until the next delayed or
        // split piece is due, or (for a pending pty drop) until the client
        // has read the last reply.
        int timeout = m_pty && m_pty->session.dropRequested() ? static_cast<int>(kDrainPoll.count()) : -1;
        for (Channel* channel : {m_client.get(), m_pty.get()}) {
            if (!channel || channel->blocked)
                continue;
            if (const std::optional<Clock::time_point> next = channel->output.nextDue()) {
                const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - Clock::now()).count();
                const int millis = static_cast<int>(std::max<decltype(wait)>(wait, 0));
                timeout = timeout < 0 ? millis : std::min(timeout, millis);
            }
        }
        if (const std::optional<Clock::time_point> deadline = idleDeadline()) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
            const int millis = static_cast<int>(std::max<decltype(wait)>(wait, 0));
            timeout = timeout < 0 ? millis : std::min(timeout, millis);
        }
        if (poll(fds.data(), count, timeout) < 0 && errno != EINTR)
            return;
        if (fds[0].revents & POLLIN)
            return;
        if (m_controlOpen && fds[controlAt].revents) {
            if (fds[controlAt].revents & POLLNVAL)
                m_controlOpen = false;
            else
                readControl();
        }

        if (listenAt < count && fds[listenAt].fd == m_listenFd && (fds[listenAt].revents & POLLIN)) {
            if (m_client)
                m_othersWaiting = true;
            else
                acceptClient();
        }
        if (m_client && clientAt < count && fds[clientAt].fd == m_client->fd) {
            bool open = true;
            if (fds[clientAt].revents & POLLOUT)
                m_client->blocked = false;
            if (fds[clientAt].revents & (POLLIN | POLLHUP | POLLERR))
                open = receive(*m_client);
            open = open && send(*m_client);
            // With drop-after, the last answer still goes out, then the line is cut.
            if (!open || (m_client->session.dropRequested() && m_client->output.empty()))
                closeClient();
        }
        if (m_pty) {
            if (ptyAt < count && (fds[ptyAt].revents & POLLOUT))
                m_pty->blocked = false;
            if (ptyAt < count && (fds[ptyAt].revents & POLLIN))
                receive(*m_pty);
            send(*m_pty);
            if (m_pty->session.dropRequested() && m_pty->output.empty() && ptyDrained())
                dropPty();
        }
    }
}

}  // namespace emulator
