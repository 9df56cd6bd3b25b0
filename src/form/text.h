#pragma once
// Small text rules the handlers share: 8-bit text, one byte one character.

#include <string>
#include <string_view>

namespace softswitch {

// The number at the start of a text, read the way a leading-number parser
// does: leading blanks skipped, an optional sign, digits with an optional
// decimal fraction and exponent; reading stops at the first character that
// cannot continue the number. No number gives 0; one too large for a double
// gives the largest double of its sign.
double leadingNumber(std::string_view text);

// A number as joined to a message after "Error no ": one leading blank when
// it is not negative.
std::string signedNumber(long number);

std::string trimBlanks(std::string_view text);
std::string trimTrailingBlanks(std::string_view text);
std::string upperCase(std::string_view text);
// The first / last n characters (all of them when the text is shorter).
std::string left(std::string_view text, std::size_t n);
std::string right(std::string_view text, std::size_t n);

} // namespace softswitch
