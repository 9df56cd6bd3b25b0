#pragma once

#include "commandparser.h"
#include "escpostoken.h"
#include "printerstate.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace emulator {

// Replies a client has not read queue up to this many bytes (past the
// kernel's socket or terminal buffers); later ones are dropped until it
// reads, so a client that never reads cannot make the emulator grow.
inline constexpr std::size_t kMaxUnreadReplyBytes = 64 * 1024;
// A print run without line feed is cut into transcript lines of at most
// this many bytes: a long raster or a runaway sender stays bounded.
inline constexpr std::size_t kMaxPrintLineBytes = 4096;

// Misbehaviour on request, for robustness tests of the utility. The core
// applies the faults that change what is answered; the transports apply the
// ones about timing and delivery (delay, split, drop).
struct Faults {
    std::array<bool, kFieldCount> noReply{};  // queries of these fields stay silent
    std::chrono::milliseconds replyDelay{0};  // wait before a reply goes out
    std::size_t splitReply = 0;               // bytes per write, 0 = the whole reply at once
    std::chrono::milliseconds splitGap{20};   // pause between the writes of a split reply
    std::string garbage;                      // bytes sent in front of every reply
    std::size_t dropAfter = 0;                // end the connection after this many commands, 0 = never
    std::optional<std::string> firstModelReply;  // answer to the first model query of a session
};

enum class EventKind { Command, PrintData, Skipped };

enum class WriteOutcome {
    NotAWrite,
    Applied,
    Locked,   // sent outside unlock ... lock: ignored
    Invalid,  // argument bytes the value cannot take: ignored
};

// One line of the transcript: a recognised command, a run of print data, or
// bytes that were skipped. The bytes are the session's own: a handler that
// keeps them copies them.
struct Event {
    EventKind kind = EventKind::Command;
    std::string_view name;
    std::string_view bytes;
    std::string reply;  // what went back, faults included
    WriteOutcome write = WriteOutcome::NotAWrite;
};

// Cuts a reply into the pieces sent one write each; no split gives one piece.
std::vector<std::string> splitReply(std::string_view reply, std::size_t pieceBytes);

// The framed reply block: "_", the value, NUL.
std::string frameReply(std::string_view value);

class EmulatorSession;

// The virtual printer: its values, the settings lock and the faults it shows.
// Connections talk to it through sessions; all sessions share one printer.
class PrinterEmulator {
public:
    explicit PrinterEmulator(PrinterState state = {}, Faults faults = {});

    const PrinterState& state() const { return m_state; }
    const Faults& faults() const { return m_faults; }
    bool unlocked() const { return m_unlocked; }
    std::size_t ignoredWrites() const { return m_ignoredWrites; }
    std::size_t invalidWrites() const { return m_invalidWrites; }

    // Called once per event, in stream order (the transcript hangs here).
    void setEventHandler(std::function<void(const Event&)> handler) { m_handler = std::move(handler); }
    // Called with every token of every session, in stream order, before
    // the printer acts on it: a receipt renderer hangs here. The token is
    // the handler's to keep (a megabyte image need not be copied again).
    void setTokenHandler(std::function<void(EscPosToken)> handler) { m_tokenHandler = std::move(handler); }
    // Called when a connection ends, after its last token: the end of a job.
    void setConnectionEndHandler(std::function<void()> handler) { m_connectionEndHandler = std::move(handler); }
    // Called once for each kind of command the grammar does not know.
    void setNoteHandler(std::function<void(const std::string&)> handler) { m_noteHandler = std::move(handler); }

    // Changes a value while the printer runs (paper=out ...); returns the
    // reason when refused. Sessions with automatic status back then have a
    // report due (EmulatorSession::automaticStatusDue).
    std::string setValue(std::string_view key, std::string_view value) { return m_state.set(key, value); }

private:
    friend class EmulatorSession;

    // The value a query answers, or nothing when the printer stays silent.
    std::optional<std::string> answer(const CommandRow& row) const;
    WriteOutcome write(const CommandRow& row, std::string_view arguments);
    void emit(const Event& event) const;
    void noteUnknown(std::string_view bytes);

    PrinterState m_state;
    Faults m_faults;
    bool m_unlocked = false;
    std::size_t m_ignoredWrites = 0;
    std::size_t m_invalidWrites = 0;
    std::function<void(const Event&)> m_handler;
    std::function<void(EscPosToken)> m_tokenHandler;
    std::function<void(const std::string&)> m_noteHandler;
    std::function<void()> m_connectionEndHandler;
    std::set<std::string> m_unknownNoted;  // introducer and command byte
};

// One connection to the printer: its own parser, print run and fault
// counters. Feed it the received bytes; it returns the bytes to send back.
class EmulatorSession {
public:
    explicit EmulatorSession(PrinterEmulator& printer) : m_printer(printer) {}
    ~EmulatorSession();
    EmulatorSession(const EmulatorSession&) = delete;
    EmulatorSession& operator=(const EmulatorSession&) = delete;

    std::string feed(std::string_view bytes);
    // The connection ended: pending print data and partial commands are
    // reported and the printer is locked again. Called by the destructor too.
    void close();

    // The drop-after fault has fired: the transport should end the
    // connection once the replies so far are out. Bytes received until then
    // are still recorded and carried out, but get no reply.
    bool dropRequested() const { return m_dropRequested; }
    std::size_t commandCount() const { return m_commands; }

    // The automatic status report due since the printer's state changed,
    // when this connection asked for one (GS a) and the change is watched.
    std::string automaticStatusDue();

private:
    void handle(Token& token, std::string& reply);
    void handleCommand(const Token& token, std::string& reply);
    void appendPrintData(Token& token);
    bool count(const Token& token);
    void endPrintRun();
    std::string withFaults(std::string reply) const;

    PrinterEmulator& m_printer;
    CommandParser m_parser;
    std::string m_printRun;
    std::size_t m_commands = 0;
    bool m_modelAnswered = false;
    bool m_dropRequested = false;
    bool m_closed = false;
    std::uint8_t m_autoStatusMask = 0;  // GS a n; 0 = off
    std::uint8_t m_autoStatusSeen = 0;  // the watched state last reported
};

}  // namespace emulator
