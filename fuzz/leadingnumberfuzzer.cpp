// Checks the leading-number reading of replies and the switch rule on it:
//  - the number is always finite;
//  - a NUL ends the number, blanks before it are skipped, and a minus before
//    a number that starts with a digit negates it;
//  - a run of up to 19 digits reads as its exact value;
//  - a switch value is given exactly when the number lies in 0..255, and it
//    is an integer nearest to the number (halves to even: the query rows).
// Hand-picked replies and their values are the query test's rows.
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
        check(*value >= 0 && *value <= 255 && std::abs(*value - number) <= 0.5);
    return 0;
}
