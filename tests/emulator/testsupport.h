#pragma once

#include "emulatoroptions.h"
#include "tempdir.h"
#include "transcript.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
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

// Options read as the server reads them; a bad one in a test row throws.
inline emulator::EmulatorOptions optionsFrom(const std::string& text)
{
    emulator::OptionsResult parsed =
        emulator::parseOptions(emulator::splitOptionText(text), emulator::OptionScope::Executable);
    if (!parsed.error.empty())
        throw std::invalid_argument(parsed.error);
    return parsed.options;
}

// A framed reply "_" value NUL, spelled out without the helper under test.
inline std::string framed(std::string_view value) { return "_" + std::string(value) + std::string(1, '\0'); }

inline const std::string kUnlock = hex("1D 67 75 6E 6C 00");
inline const std::string kLock = hex("1D 67 6C 63 6B 00");
inline const std::string kMaker = hex("1D 49 42");
inline const std::string kModel = hex("1D 49 43");
inline const std::string kSwitch1 = hex("1D 67 34 27 00");

// Names the rows of a parameterised test by their `name` member.
inline constexpr auto kRowName = [](const auto& rowInfo) { return std::string(rowInfo.param.name); };
