#include "form/text.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace softswitch {

double leadingNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        number += text[i++];
    const auto digit = [&](std::size_t at) { return at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); };
    while (digit(i))
        number += text[i++];
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        while (digit(i))
            number += text[i++];
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            exponent += text[j++];
        if (digit(j)) {
            while (digit(j))
                exponent += text[j++];
            number += exponent;
        }
    }
    const double value = std::strtod(number.c_str(), nullptr);
    // Past the range of a double it stays huge, so that range checks refuse it.
    return std::isinf(value) ? std::copysign(std::numeric_limits<double>::max(), value) : value;
}

std::string signedNumber(long number)
{
    return number < 0 ? std::to_string(number) : " " + std::to_string(number);
}

std::string trimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string trimTrailingBlanks(std::string_view text)
{
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string{} : std::string(text.substr(0, last + 1));
}

std::string upperCase(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return result;
}

std::string left(std::string_view text, std::size_t n)
{
    return std::string(text.substr(0, n));
}

std::string right(std::string_view text, std::size_t n)
{
    return std::string(n >= text.size() ? text : text.substr(text.size() - n));
}

} // namespace softswitch
