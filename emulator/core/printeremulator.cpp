#include "printeremulator.h"

namespace emulator {

namespace {

constexpr char kLineFeed = 0x0A;

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

EmulatorSession::~EmulatorSession() { close(); }

std::string EmulatorSession::feed(std::string_view bytes)
{
    std::string reply;
    if (m_closed)
        return reply;
    std::vector<Token> tokens;
    m_parser.feed(bytes, tokens);
    for (const Token& token : tokens)
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
    for (const Token& token : tokens)
        handle(token, ignored);
    endPrintRun();
    // An unlock must not outlive its connection: the next client would
    // find writes taken that it never unlocked for.
    m_printer.m_unlocked = false;
}

void EmulatorSession::handle(const Token& token, std::string& reply)
{
    switch (token.kind) {
    case Token::Kind::Text:
        appendPrintData(token);
        return;
    case Token::Kind::Skipped:
        endPrintRun();
        m_printer.emit({EventKind::Skipped, "skipped", token.bytes, {}, WriteOutcome::NotAWrite});
        return;
    case Token::Kind::Command:
        if (isPrintData(token.row->kind)) {
            appendPrintData(token);
            return;
        }
        endPrintRun();
        handleCommand(token, reply);
        return;
    }
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
            event.reply = m_printer.m_faults.garbage + frameReply(*value);
        break;
    }
    case CommandKind::Unlock:
        m_printer.m_unlocked = true;
        break;
    case CommandKind::Lock:
        m_printer.m_unlocked = false;
        break;
    case CommandKind::Write:
        event.write = m_printer.write(row, std::string_view(token.bytes).substr(row.prefix.size()));
        break;
    case CommandKind::UnsupportedQuery:
    case CommandKind::SelfTest:
    case CommandKind::PrintMode:
    case CommandKind::Initialize:
    case CommandKind::Cut:
        break;
    }
    // Past the drop the line is cut: what was received still acts on the
    // printer and is recorded, but nothing goes back.
    if (m_dropRequested)
        event.reply.clear();
    reply += event.reply;
    m_printer.emit(event);
    ++m_commands;
    if (m_printer.m_faults.dropAfter != 0 && m_commands >= m_printer.m_faults.dropAfter)
        m_dropRequested = true;
}

void EmulatorSession::appendPrintData(const Token& token)
{
    // Cut before the token that would pass the limit; tokens do not depend
    // on the chunking, so neither do the lines.
    if (m_printRun.size() + token.bytes.size() > kMaxPrintLineBytes)
        endPrintRun();
    m_printRun += token.bytes;
    // A line feed or a cut finishes a printed line; the run ends with it so
    // the transcript does not depend on how the bytes were chunked.
    if (token.row && token.row->kind == CommandKind::Cut) {
        m_printer.m_state.countUp(Field::Cuts);
        endPrintRun();
    } else if (!token.row && token.bytes.size() == 1 && token.bytes.front() == kLineFeed) {
        m_printer.m_state.countUp(Field::Lines);
        endPrintRun();
    }
}

void EmulatorSession::endPrintRun()
{
    if (m_printRun.empty())
        return;
    m_printer.emit({EventKind::PrintData, "print", m_printRun, {}, WriteOutcome::NotAWrite});
    m_printRun.clear();
}

}  // namespace emulator
