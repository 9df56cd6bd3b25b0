#include "printeremulator.h"

#include "printerstatus.h"
#include "transcript.h"

namespace emulator {

namespace {

// Write arguments are text padded with NUL bytes: the value ends at the
// first NUL.
std::string_view argumentText(std::string_view arguments)
{
    return arguments.substr(0, arguments.find('\0'));
}

}  // namespace

std::vector<std::string> splitReply(std::string_view reply, std::size_t pieceBytes)
{
    std::vector<std::string> pieces;
    if (pieceBytes == 0) {
        pieces.emplace_back(reply);
        return pieces;
    }
    for (std::size_t at = 0; at < reply.size(); at += pieceBytes)
        pieces.emplace_back(reply.substr(at, pieceBytes));
    return pieces;
}

std::string frameReply(std::string_view value)
{
    std::string framed = "_";
    framed += value;
    framed.push_back('\0');
    return framed;
}

PrinterEmulator::PrinterEmulator(PrinterState state, Faults faults)
    : m_state(std::move(state)), m_faults(std::move(faults))
{
}

std::optional<std::string> PrinterEmulator::answer(const CommandRow& row) const
{
    if (m_faults.noReply[static_cast<std::size_t>(row.field)])
        return std::nullopt;
    const std::string& value = m_state.value(row.field);
    switch (row.answer) {
    case Answer::Always:
        break;
    case Answer::DensityModels:
        if (!m_state.hasDensity())
            return std::nullopt;
        break;
    case Answer::ThaiModels:
        if (!m_state.hasThai())
            return std::nullopt;
        break;
    case Answer::WhenOn:
        if (!m_state.new8x16On())
            return std::nullopt;
        return "ON";
    }
    // A value set to empty text is a feature this printer lacks.
    if (value.empty())
        return std::nullopt;
    return value;
}

WriteOutcome PrinterEmulator::write(const CommandRow& row, std::string_view arguments)
{
    if (!m_unlocked) {
        ++m_ignoredWrites;
        return WriteOutcome::Locked;
    }
    std::string value(argumentText(arguments));
    if (fieldInfo(row.field).kind == FieldKind::OnOff) {
        if (value == "ON")
            value = "on";
        else if (value.empty())
            value = "off";
        else
            value.clear();  // neither form: refused below
    }
    if (value.empty() || !m_state.set(row.field, value).empty()) {
        ++m_invalidWrites;
        return WriteOutcome::Invalid;
    }
    return WriteOutcome::Applied;
}

void PrinterEmulator::emit(const Event& event) const
{
    if (m_handler)
        m_handler(event);
}

void PrinterEmulator::noteUnknown(std::string_view bytes)
{
    const std::string key(bytes.substr(0, 2));
    if (m_noteHandler && m_unknownNoted.insert(key).second)
        m_noteHandler("unknown command " + hexBytes(key) + " skipped (noted once)");
}

EmulatorSession::~EmulatorSession() { close(); }

std::string EmulatorSession::feed(std::string_view bytes)
{
    std::string reply;
    if (m_closed)
        return reply;
    std::vector<Token> tokens;
    m_parser.feed(bytes, tokens);
    for (Token& token : tokens)
        handle(token, reply);
    return reply;
}

void EmulatorSession::close()
{
    if (m_closed)
        return;
    m_closed = true;
    std::vector<Token> tokens;
    m_parser.finish(tokens);
    std::string ignored;
    for (Token& token : tokens)
        handle(token, ignored);
    endPrintRun();
    // An unlock must not outlive its connection: the next client would
    // find writes taken that it never unlocked for.
    m_printer.m_unlocked = false;
    if (m_printer.m_connectionEndHandler)
        m_printer.m_connectionEndHandler();
}

void EmulatorSession::handle(Token& token, std::string& reply)
{
    // Out of paper the printer is offline and prints nothing. A real one
    // would hold what comes meanwhile in its receive buffer and, once that
    // is full, stop taking data; this one throws the print data away (no
    // job is kept for later), so nothing of it reaches the paper or the
    // counters. It is still recorded, and status requests and queries are
    // still answered: a POS client sees the paper end and sends again.
    if (m_printer.m_tokenHandler && !m_printer.m_state.paperOut())
        m_printer.m_tokenHandler(token.escPos());
    if (token.kind == EscPosToken::Kind::Text) {
        appendPrintData(token);
        return;
    }
    if (!token.row) {
        endPrintRun();
        m_printer.noteUnknown(token.bytes);
        m_printer.emit({EventKind::Skipped, "skipped", token.bytes, {}, WriteOutcome::NotAWrite});
        return;
    }
    if (isPrintData(token.row->kind)) {
        appendPrintData(token);
        return;
    }
    // A real-time command inside another command's data is answered now;
    // its bytes reach the transcript with the command around them.
    if (!token.insideCommand)
        endPrintRun();
    handleCommand(token, reply);
}

std::string EmulatorSession::withFaults(std::string reply) const
{
    if (reply.empty() || m_dropRequested)
        return {};
    return m_printer.m_faults.garbage + reply;
}

void EmulatorSession::handleCommand(const Token& token, std::string& reply)
{
    const CommandRow& row = *token.row;
    Event event{EventKind::Command, row.name, token.bytes, {}, WriteOutcome::NotAWrite};
    switch (row.kind) {
    case CommandKind::Query: {
        std::optional<std::string> value = m_printer.answer(row);
        const bool firstModel = row.field == Field::Model && !m_modelAnswered;
        if (row.field == Field::Model)
            m_modelAnswered = true;
        if (firstModel && m_printer.m_faults.firstModelReply)
            value = m_printer.m_faults.firstModelReply;
        if (value)
            event.reply = frameReply(*value);
        break;
    }
    case CommandKind::Status:
        if (const std::optional<std::uint8_t> byte = statusReply(m_printer.m_state, token.bytes))
            event.reply = std::string(1, static_cast<char>(*byte));
        break;
    case CommandKind::AutoStatus:
        // On with a report of the state as it is, off with n = 0.
        m_autoStatusMask = static_cast<std::uint8_t>(token.bytes.back());
        m_autoStatusSeen = watchedStatus(m_printer.m_state, m_autoStatusMask);
        if (m_autoStatusMask != 0)
            event.reply = automaticStatus(m_printer.m_state);
        break;
    case CommandKind::Unlock:
        m_printer.m_unlocked = true;
        break;
    case CommandKind::Lock:
        m_printer.m_unlocked = false;
        break;
    case CommandKind::Write:
        event.write = m_printer.write(row, std::string_view(token.bytes).substr(row.prefix.size()));
        break;
    default:
        break;
    }
    // Past the drop the line is cut: what was received still acts on the
    // printer and is recorded, but nothing goes back.
    event.reply = withFaults(std::move(event.reply));
    reply += event.reply;
    if (token.insideCommand)
        return;
    m_printer.emit(event);
    ++m_commands;
    if (m_printer.m_faults.dropAfter != 0 && m_commands >= m_printer.m_faults.dropAfter)
        m_dropRequested = true;
}

std::string EmulatorSession::automaticStatusDue()
{
    if (m_autoStatusMask == 0 || m_closed)
        return {};
    const std::uint8_t watched = watchedStatus(m_printer.m_state, m_autoStatusMask);
    if (watched == m_autoStatusSeen)
        return {};
    m_autoStatusSeen = watched;
    return withFaults(automaticStatus(m_printer.m_state));
}

// Counts printed lines and cuts (none without paper); true when the command
// ends a transcript line, paper or not.
bool EmulatorSession::count(const Token& token)
{
    if (token.continued)
        return false;
    PrinterState& state = m_printer.m_state;
    const bool printing = !state.paperOut();
    switch (token.row->kind) {
    case CommandKind::LineFeed:
        if (printing)
            state.countUp(Field::Lines);
        return true;
    case CommandKind::FeedLines:
        for (int line = 0; printing && line < static_cast<std::uint8_t>(token.bytes.back()); ++line)
            state.countUp(Field::Lines);
        return true;
    case CommandKind::Cut:
        if (printing)
            state.countUp(Field::Cuts);
        return true;
    default:
        return false;
    }
}

void EmulatorSession::appendPrintData(Token& token)
{
    if (!m_printer.m_handler) {
        // Nobody keeps the lines: only the counters are due.
        if (token.kind == EscPosToken::Kind::Command)
            count(token);
        return;
    }
    std::string_view bytes = token.bytes;
    if (token.kind == EscPosToken::Kind::Text) {
        // Text fills the line up to the limit, the rest starts the next.
        while (!bytes.empty()) {
            // At or past the limit (a big image holds a line of its own).
            if (m_printRun.size() >= kMaxPrintLineBytes)
                endPrintRun();
            const std::size_t take = std::min(bytes.size(), kMaxPrintLineBytes - m_printRun.size());
            m_printRun += bytes.substr(0, take);
            bytes.remove_prefix(take);
        }
        return;
    }
    // A command is never cut: the line ends before one that would pass the limit.
    if (m_printRun.size() + bytes.size() > kMaxPrintLineBytes)
        endPrintRun();
    const bool endsLine = count(token);
    // A big image starts a line of its own: taken over, not copied.
    if (m_printRun.empty() && bytes.size() > kMaxPrintLineBytes)
        m_printRun = std::move(token.bytes);
    else
        m_printRun += bytes;
    // A printed line or a cut ends the transcript's line too, so the lines
    // do not depend on how the bytes were chunked.
    if (endsLine)
        endPrintRun();
}

void EmulatorSession::endPrintRun()
{
    if (m_printRun.empty())
        return;
    m_printer.emit({EventKind::PrintData, "print", m_printRun, {}, WriteOutcome::NotAWrite});
    // A line that held a big image gives its room back.
    if (m_printRun.capacity() > 2 * kMaxPrintLineBytes)
        m_printRun = std::string();
    m_printRun.clear();
}

}  // namespace emulator
