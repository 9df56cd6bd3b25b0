#include "transcript.h"

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

}  // namespace

std::string hexBytes(std::string_view bytes)
{
    static constexpr std::string_view kDigits = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (unsigned char byte : bytes) {
        if (!text.empty())
            text.push_back(' ');
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0F]);
    }
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
    // Flushed per line: tests read the file while the emulator still runs.
    m_file << hexBytes(event.bytes) << '\n' << std::flush;
    m_failed = m_file.fail();
}

}  // namespace emulator
