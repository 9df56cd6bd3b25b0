#include "transcript.h"

#include <array>
#include <cstring>

namespace emulator {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "XX " for every byte value: a byte's text is copied, not worked out.
constexpr std::array<std::array<char, 3>, 256> kHexTable = [] {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    std::array<std::array<char, 3>, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte)
        table[byte] = {kDigits[byte >> 4], kDigits[byte & 0x0F], ' '};
    return table;
}();

// Appends the bytes as hex, each followed by a blank.
void appendHex(std::string_view bytes, std::string& text)
{
    const std::size_t at = text.size();
    text.resize(at + bytes.size() * 3);
    char* out = text.data() + at;
    for (unsigned char byte : bytes) {
        std::memcpy(out, kHexTable[byte].data(), 3);
        out += 3;
    }
}

}  // namespace

std::string hexBytes(std::string_view bytes)
{
    std::string text;
    appendHex(bytes, text);
    if (!text.empty())
        text.pop_back();
    return text;
}

std::optional<std::string> parseHexBytes(std::string_view text)
{
    std::string bytes;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ') {
            ++at;
            continue;
        }
        if (at + 1 >= text.size())
            return std::nullopt;
        const int high = hexDigit(text[at]);
        const int low = hexDigit(text[at + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(static_cast<char>(high * 16 + low));
        at += 2;
    }
    return bytes;
}

bool Transcript::open(const std::string& path)
{
    m_file.open(path, std::ios::out | std::ios::app | std::ios::binary);
    return m_file.is_open();
}

void Transcript::record(const Event& event)
{
    if (!m_file.is_open() || m_failed)
        return;
    // A big image is written a slice at a time through one reused buffer,
    // so its line never needs three times its size in memory at once.
    constexpr std::size_t kSliceBytes = 64 * 1024;
    std::string_view bytes = event.bytes;
    do {
        const std::string_view slice = bytes.substr(0, kSliceBytes);
        bytes.remove_prefix(slice.size());
        m_line.clear();
        appendHex(slice, m_line);
        // The last byte of the line ends it instead of a blank.
        if (bytes.empty()) {
            if (m_line.empty())
                m_line.push_back('\n');
            else
                m_line.back() = '\n';
        }
        m_file.write(m_line.data(), static_cast<std::streamsize>(m_line.size()));
    } while (!bytes.empty());
    // Flushed per line: tests read the file while the emulator still runs.
    m_file.flush();
    m_failed = m_file.fail();
}

}  // namespace emulator
