#include "commandparser.h"

#include <algorithm>

namespace emulator {

namespace {

std::uint8_t at(std::string_view bytes, std::size_t index) { return static_cast<std::uint8_t>(bytes[index]); }

// The bytes after a command's prefix, so far: `size` is where to look again,
// `final` says it is the command's whole length.
struct Extent {
    std::size_t size;
    bool final;
};

constexpr Extent need(std::size_t size) { return {size, false}; }
constexpr Extent whole(std::size_t size) { return {size, true}; }

// Longest barcode text up to its NUL; a printer gives up on longer data.
constexpr std::size_t kMaxBarcodeText = 255;
constexpr std::size_t kMaxTabs = 32;
// ESC & defines characters at most three bytes (24 dots) high.
constexpr std::uint8_t kMaxCharacterHeight = 3;

// The length rules. `params` holds every parameter byte so far; a counted
// rule is final once its header is in, so what follows it may come in pieces.
Extent extent(const CommandRow& row, std::string_view params)
{
    const std::size_t size = params.size();
    switch (row.length) {
    case Length::Fixed:
        return whole(row.params);
    case Length::Function:  // fn pL pH
        return size < 3 ? need(3) : whole(3 + at(params, 1) + 256u * at(params, 2));
    case Length::BitImage: {  // m nL nH
        if (size < 3)
            return need(3);
        const std::size_t dots = at(params, 1) + 256u * at(params, 2);
        return whole(3 + dots * (at(params, 0) >= 32 ? 3 : 1));
    }
    case Length::Raster:  // m xL xH yL yH
        return size < 5 ? need(5)
                        : whole(5 + std::size_t{at(params, 1) + 256u * at(params, 2)} *
                                        (at(params, 3) + 256u * at(params, 4)));
    case Length::Downloaded:  // x y
        return size < 2 ? need(2) : whole(2 + std::size_t{at(params, 0)} * at(params, 1) * 8);
    case Length::LongCount:  // p1 p2 p3 p4
        return size < 4 ? need(4)
                        : whole(4 + (std::size_t{at(params, 0)} | std::size_t{at(params, 1)} << 8 |
                                     std::size_t{at(params, 2)} << 16 | std::size_t{at(params, 3)} << 24));
    case Length::Barcode: {  // m, then text to NUL or n and n bytes
        if (size < 1)
            return need(1);
        const std::uint8_t m = at(params, 0);
        if (m <= 6) {
            if (size > 1 && (at(params, size - 1) == 0 || size == 1 + kMaxBarcodeText))
                return whole(size);
            return need(size + 1);
        }
        if (m >= 65 && m <= 79)
            return size < 2 ? need(2) : whole(2 + at(params, 1));
        return whole(1);
    }
    case Length::TabList:
        if (size > 0 && at(params, size - 1) == 0)
            return whole(size);
        // After the last position a byte other than NUL is print data.
        return size > kMaxTabs ? whole(kMaxTabs) : need(size + 1);
    case Length::CutMode: {  // m, and n after the feed-and-cut forms
        if (size < 1)
            return need(1);
        const std::uint8_t m = at(params, 0);
        return whole(m == 65 || m == 66 || m == 97 || m == 98 || m == 103 || m == 104 ? 2 : 1);
    }
    case Length::TwoDCode:  // m n k dL dH
        return size < 5 ? need(5) : whole(5 + at(params, 3) + 256u * at(params, 4));
    case Length::UserChars: {  // y c1 c2, then x and y * x bytes for c1..c2
        if (size < 3)
            return need(3);
        const std::uint8_t height = at(params, 0);
        if (height > kMaxCharacterHeight || at(params, 1) > at(params, 2))
            return whole(3);
        std::size_t end = 3;
        for (int code = at(params, 1); code <= at(params, 2); ++code) {
            if (end >= size)
                return need(end + 1);
            end += 1 + std::size_t{height} * at(params, end);
        }
        return whole(end);
    }
    case Length::RealTimeDc4: {  // fn, then the function's bytes
        if (size < 1)
            return need(1);
        switch (at(params, 0)) {
        case 2:  // power off: a b
            return whole(3);
        case 3:  // buzzer: a n r t1 t2
            return whole(6);
        case 7:  // status of one kind: m
            return whole(2);
        case 8:  // clear the buffers: d1..d7
            return whole(8);
        default:
            return whole(1);
        }
    }
    }
    return whole(0);
}

const CommandRow* rowWithPrefix(std::string_view prefix)
{
    for (const CommandRow& row : kCommands) {
        if (row.prefix == prefix)
            return &row;
    }
    return nullptr;
}

// The rows by the first byte of their prefix, so matching looks only at a
// command's own family.
const std::vector<const CommandRow*>& rowsStartingWith(char byte)
{
    static const std::array<std::vector<const CommandRow*>, 256> rows = [] {
        std::array<std::vector<const CommandRow*>, 256> table;
        for (const CommandRow& row : kCommands)
            table[static_cast<std::uint8_t>(row.prefix.front())].push_back(&row);
        return table;
    }();
    return rows[static_cast<std::uint8_t>(byte)];
}

bool startsCommand(char byte) { return !rowsStartingWith(byte).empty(); }

constexpr std::uint8_t kFirstPrintable = 0x20;

}  // namespace

std::string_view Token::name() const
{
    if (kind == EscPosToken::Kind::Text)
        return {};
    return row ? row->name : "unknown";
}

EscPosToken Token::escPos() const
{
    return {kind, std::vector<std::uint8_t>(bytes.begin(), bytes.end()), name(), insideCommand, continued};
}

void CommandParser::feed(std::string_view bytes, std::vector<Token>& out)
{
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (const std::size_t taken = takeData(bytes.substr(at)); taken > 0) {
            at += taken;
            continue;
        }
        step(bytes[at++], out);
        while (!m_replay.empty()) {
            const char again = m_replay.front();
            m_replay.erase(0, 1);
            step(again, out);
        }
    }
}

std::size_t CommandParser::takeData(std::string_view bytes)
{
    // The data of a counted command (an image, a code) is taken in one
    // piece up to its last byte, a DLE that may begin a real-time command,
    // or the piece limit; those go byte by byte, exactly as without this.
    if (!m_row || !m_final || !m_realTime.empty() || m_params + 1 >= m_need || m_pending.size() + 1 >= kMaxCommandPiece)
        return 0;
    std::size_t take = std::min({bytes.size(), m_need - m_params - 1, kMaxCommandPiece - 1 - m_pending.size()});
    if (m_row->prefix.front() != static_cast<char>(kDle))
        take = std::min(take, bytes.substr(0, take).find(static_cast<char>(kDle)));
    m_pending.append(bytes.substr(0, take));
    m_params += take;
    return take;
}

void CommandParser::finish(std::vector<Token>& out)
{
    flushText(out);
    if (!m_pending.empty())
        skip(std::move(m_pending), out);
    m_pending.clear();
    m_row = nullptr;
    m_realTime.clear();
}

void CommandParser::flushText(std::vector<Token>& out)
{
    if (m_text.empty())
        return;
    out.push_back({EscPosToken::Kind::Text, nullptr, std::move(m_text)});
    m_text.clear();
}

void CommandParser::skip(std::string bytes, std::vector<Token>& out)
{
    out.push_back({EscPosToken::Kind::Command, nullptr, std::move(bytes)});
}

void CommandParser::step(char byte, std::vector<Token>& out)
{
    if (m_row) {
        takeParameter(byte, out);
        return;
    }
    if (!m_pending.empty()) {
        m_pending.push_back(byte);
        matchPrefix(out);
        return;
    }
    if (startsCommand(byte)) {
        flushText(out);
        m_pending.push_back(byte);
        matchPrefix(out);
        return;
    }
    if (static_cast<std::uint8_t>(byte) < kFirstPrintable) {
        flushText(out);
        out.push_back({EscPosToken::Kind::Command, &kIgnoredControl, std::string(1, byte)});
        return;
    }
    m_text.push_back(byte);
    if (m_text.size() == kMaxTextRun)
        flushText(out);
}

void CommandParser::matchPrefix(std::vector<Token>& out)
{
    const std::vector<const CommandRow*>& family = rowsStartingWith(m_pending.front());
    const CommandRow* exact = nullptr;
    bool longer = false;
    for (const CommandRow* row : family) {
        if (row->prefix.starts_with(m_pending)) {
            if (row->prefix.size() == m_pending.size())
                exact = row;
            else
                longer = true;
        }
    }
    if (longer)
        return;  // a longer prefix may still come
    if (exact) {
        choose(*exact, out);
        return;
    }
    // Nothing longer fits: the longest row whose prefix is at the front
    // takes the bytes behind its prefix as its parameters.
    const CommandRow* best = nullptr;
    for (const CommandRow* row : family) {
        if (std::string_view(m_pending).starts_with(row->prefix) && (!best || row->prefix.size() > best->prefix.size()))
            best = row;
    }
    if (best) {
        const std::string rest = m_pending.substr(best->prefix.size());
        m_pending.resize(best->prefix.size());
        replay(rest);
        choose(*best, out);
        return;
    }
    // Unknown. An introducer and an unknown command byte are skipped
    // together; a longer broken command up to the byte that broke it, which
    // may begin the next command.
    std::string bytes = std::move(m_pending);
    m_pending.clear();
    if (bytes.size() > 2 || isIntroducer(static_cast<std::uint8_t>(bytes.back()))) {
        replay(std::string_view(bytes).substr(bytes.size() - 1));
        bytes.pop_back();
    }
    skip(std::move(bytes), out);
}

void CommandParser::choose(const CommandRow& row, std::vector<Token>& out)
{
    m_row = &row;
    m_params = 0;
    const Extent first = extent(row, {});
    m_need = first.size;
    m_final = first.final;
    if (m_final && m_need == 0)
        complete(out);
}

void CommandParser::takeParameter(char byte, std::vector<Token>& out)
{
    if (m_row->prefix.front() != static_cast<char>(kDle))
        watchRealTime(byte, out);
    m_pending.push_back(byte);
    ++m_params;
    if (m_params < m_need) {
        if (m_pending.size() >= kMaxCommandPiece) {
            // Only a counted rule gets this long, and it no longer needs
            // its header: hand on what is here and keep counting.
            Token piece{EscPosToken::Kind::Command, m_row, std::move(m_pending)};
            piece.continued = true;
            out.push_back(std::move(piece));
            m_pending.clear();
            reserveData();
        }
        return;
    }
    if (!m_final) {
        const Extent next = extent(*m_row, std::string_view(m_pending).substr(m_row->prefix.size()));
        m_need = next.size;
        m_final = next.final;
        if (m_final)
            reserveData();
    }
    if (!m_final || m_params < m_need)
        return;
    if (m_params > m_need) {
        // The rule ended before the last byte, which belongs to what follows.
        const std::size_t surplus = m_params - m_need;
        replay(std::string_view(m_pending).substr(m_pending.size() - surplus));
        m_pending.resize(m_pending.size() - surplus);
    }
    complete(out);
}

void CommandParser::reserveData()
{
    // The header has told how long the data is: room for it at once (up to
    // a piece), rather than growing by doubling, which copies a megabyte
    // image several times over.
    if (m_need > m_params)
        m_pending.reserve(std::min(m_pending.size() + (m_need - m_params), kMaxCommandPiece));
}

void CommandParser::watchRealTime(char byte, std::vector<Token>& out)
{
    const auto value = static_cast<std::uint8_t>(byte);
    if (m_realTime.empty()) {
        if (value == kDle)
            m_realTime.push_back(byte);
        return;
    }
    m_realTime.push_back(byte);
    const std::uint8_t function = at(m_realTime, 1);
    bool done = false;
    bool valid = true;
    switch (m_realTime.size()) {
    case 2:
        valid = function == 0x04 || function == 0x05 || function == 0x14;
        break;
    case 3:
        if (function == 0x04)
            valid = done = value >= 1 && value <= 4;
        else if (function == 0x05)
            valid = done = value <= 2;
        else
            valid = value == 1;  // DLE DC4 1 m t: the drawer pulse
        break;
    default:
        done = m_realTime.size() == 5;
        break;
    }
    if (done) {
        const std::string_view prefix = std::string_view(m_realTime).substr(0, function == 0x14 ? 3 : 2);
        Token token{EscPosToken::Kind::Command, rowWithPrefix(prefix), std::move(m_realTime)};
        token.insideCommand = true;
        out.push_back(std::move(token));
        m_realTime.clear();
    } else if (!valid) {
        m_realTime.clear();
        if (value == kDle)
            m_realTime.push_back(byte);
    }
}

void CommandParser::complete(std::vector<Token>& out)
{
    out.push_back({EscPosToken::Kind::Command, m_row, std::move(m_pending)});
    m_pending.clear();
    m_row = nullptr;
    m_params = 0;
    m_realTime.clear();
}

}  // namespace emulator
