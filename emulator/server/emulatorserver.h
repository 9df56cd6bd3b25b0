#pragma once

#include "emulatoroptions.h"
#include "outputqueue.h"
#include "printeremulator.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace emulator {

// One byte stream to the printer: a TCP client or the master side of the
// pseudo-terminal, with its session and the replies waiting to go out.
struct Channel {
    explicit Channel(PrinterEmulator& printer) : session(printer), output(printer.faults()) {}

    int fd = -1;
    EmulatorSession session;
    OutputQueue output;
    Clock::time_point lastWrite;
    Clock::time_point lastReceived;
    bool blocked = false;  // the last write found the buffer full: wait until writable
};

// Serves the printer over TCP (one client at a time, any number one after
// another) and over a pseudo-terminal, in one poll loop, until a stop signal.
class EmulatorServer {
public:
    EmulatorServer(PrinterEmulator& printer, const EmulatorOptions& options);
    ~EmulatorServer();
    EmulatorServer(const EmulatorServer&) = delete;
    EmulatorServer& operator=(const EmulatorServer&) = delete;

    // Opens the endpoints. Returns the error, or empty text; on success
    // readyLines() tells where the printer listens.
    std::string start();
    const std::vector<std::string>& readyLines() const { return m_readyLines; }

    // Serves until signalFd (a signalfd) becomes readable or mustStop,
    // asked after every turn, says so.
    void run(int signalFd, const std::function<bool()>& mustStop = {});

private:
    std::string openTcp();
    std::string openPty();
    void acceptClient();
    void closeClient();
    // Reads what arrived on a channel; false when the other side has gone.
    bool receive(Channel& channel);
    // Writes due replies; false when the other side has gone.
    bool send(Channel& channel);
    // Closing the master discards what the client has not read yet, so a
    // drop waits until the slave's input queue is empty.
    bool ptyDrained() const;
    void dropPty();
    // Lines on standard input change the printer's state while it runs.
    void readControl();
    void control(std::string_view line);
    // When the served client is to make room for a waiting one, if it stays idle.
    std::optional<Clock::time_point> idleDeadline() const;

    PrinterEmulator& m_printer;
    const EmulatorOptions& m_options;
    std::vector<std::string> m_readyLines;
    int m_listenFd = -1;
    std::unique_ptr<Channel> m_client;
    bool m_othersWaiting = false;  // a client waits in the listen queue behind m_client
    std::unique_ptr<Channel> m_pty;
    int m_ptySlaveFd = -1;  // kept open so a closing client causes no hangup
    std::string m_linkTarget;  // the slave path our link points at
    bool m_controlOpen = true;  // standard input not at its end yet
    std::string m_controlLine;  // a control line read in part
    std::vector<char> m_receiveBuffer;  // reused by every read of a channel
};

}  // namespace emulator
