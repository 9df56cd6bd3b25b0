#pragma once

#include "transcript.h"

#include <stdexcept>
#include <string>
#include <string_view>

// Test rows spell bytes the way the transcript does: "1D 49 42".
inline std::string hex(std::string_view text)
{
    std::optional<std::string> bytes = emulator::parseHexBytes(text);
    if (!bytes)
        throw std::invalid_argument("bad hex in test row: " + std::string(text));
    return *bytes;
}

// A framed reply "_" value NUL, spelled out without the helper under test.
inline std::string framed(std::string_view value)
{
    return std::string("_") + std::string(value) + std::string(1, '\0');
}
