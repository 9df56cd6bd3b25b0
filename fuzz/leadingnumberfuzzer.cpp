// Checks the leading-number reading of replies and the switch rule on it:
//  - the number is always finite;
//  - a NUL ends the number, blanks before it are skipped, and a minus before
//    a number that starts with a digit negates it;
//  - a run of up to 19 digits reads as its exact value;
//  - a switch value, when accepted, is 0..255, and for plain decimal replies
//    (at most six fraction digits, no exponent) acceptance and value match a
//    reference worked out on the digits themselves, halves to even.
#include "queries/switchreadout.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

void check(bool holds)
{
    if (!holds)
        std::abort();
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' '; }

struct Reference {
    bool plain = false;               // the reference covers this reply
    std::optional<std::int16_t> value; // the switch value, when accepted
};

Reference switchReference(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::string whole;
    while (i < text.size() && isDigit(text[i]))
        whole += text[i++];
    std::string fraction;
    if (i < text.size() && text[i] == '.')
        for (++i; i < text.size() && isDigit(text[i]); ++i)
            fraction += text[i];
    if (fraction.size() > 6 || (i < text.size() && (text[i] == 'e' || text[i] == 'E')))
        return {};

    whole.erase(0, whole.find_first_not_of('0'));
    fraction.resize(6, '0');
    const long micros = std::stol(fraction);
    if (whole.empty() && micros == 0)
        return {true, 0}; // no number, or zero with either sign
    if (negative || whole.size() > 3)
        return {true, std::nullopt};
    const long units = whole.empty() ? 0 : std::stol(whole);
    if (units > 255 || (units == 255 && micros > 0))
        return {true, std::nullopt};
    long rounded = units;
    if (micros > 500000 || (micros == 500000 && units % 2 == 1))
        ++rounded;
    return {true, static_cast<std::int16_t>(rounded)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    using softswitch::leadingNumber;
    const std::string text(reinterpret_cast<const char*>(data), size);

    const double number = leadingNumber(text);
    check(std::isfinite(number));
    check(leadingNumber(text + '\0' + text) == number);
    check(leadingNumber("   " + text) == number);
    check(leadingNumber('\r' + text) == 0);
    if (!text.empty() && isDigit(text[0]))
        check(leadingNumber("-" + text) == -number);

    std::string digits;
    for (std::size_t i = 0; i < size && i < 19; ++i)
        digits += static_cast<char>('0' + data[i] % 10);
    if (!digits.empty())
        check(leadingNumber(digits + '\0' + text) == static_cast<double>(std::stoull(digits)));

    const std::optional<std::int16_t> value = softswitch::switchValue(text);
    check(value.has_value() == (number >= 0 && number <= 255));
    if (value)
        check(*value >= 0 && *value <= 255);
    const Reference reference = switchReference(text);
    if (reference.plain)
        check(value == reference.value);
    return 0;
}
