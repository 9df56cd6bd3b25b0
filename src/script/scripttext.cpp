#include "script/scripttext.h"

#include <cstdio>

namespace softswitch::script {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<std::string> unescape(std::string_view text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            result += text[i];
            continue;
        }
        if (++i >= text.size())
            return std::nullopt;
        switch (text[i]) {
        case 'r': result += '\r'; break;
        case 'n': result += '\n'; break;
        case '0': result += '\0'; break;
        case 't': result += '\t'; break;
        case '\\': result += '\\'; break;
        case '"': result += '"'; break;
        case 'x': {
            if (i + 2 >= text.size())
                return std::nullopt;
            const int high = hexValue(text[i + 1]);
            const int low = hexValue(text[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            result += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return result;
}

namespace {

std::string escaped(std::string_view text, bool quoteMarks)
{
    std::string result;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\r': result += "\\r"; continue;
        case '\n': result += "\\n"; continue;
        case '\0': result += "\\0"; continue;
        case '\t': result += "\\t"; continue;
        case '\\': result += quoteMarks ? "\\\\" : "\\"; continue;
        case '"': result += quoteMarks ? "\\\"" : "\""; continue;
        default: break;
        }
        if (byte < 0x20 || byte >= 0x7F) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            result += hex;
        } else {
            result += c;
        }
    }
    return result;
}

} // namespace

std::string quoted(std::string_view text)
{
    return '"' + escaped(text, true) + '"';
}

std::string printable(std::string_view text)
{
    return escaped(text, false);
}

} // namespace softswitch::script
