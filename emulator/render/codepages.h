#pragma once
// Bytes to characters: the upper half through the code page chosen by ESC t,
// twelve ASCII positions through the international set chosen by ESC R.

#include <cstdint>
#include <string>

namespace render {

// True when ESC t n names a code page this printer has (its own numbering,
// as the utility lists them: 0 PC437, 17 PC866, 28 WPC1251 ...).
bool hasCodePage(int n);
// True when ESC R n names an international character set this printer has.
bool hasInternationalSet(int n);

// The character a byte prints as.
char32_t decodeByte(std::uint8_t byte, int codePage, int internationalSet);

// Appends a character as UTF-8.
void appendUtf8(std::string& out, char32_t character);

}  // namespace render
