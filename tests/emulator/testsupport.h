#pragma once

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

// A framed reply "_" value NUL, spelled out without the helper under test.
inline std::string framed(std::string_view value) { return "_" + std::string(value) + std::string(1, '\0'); }

inline const std::string kUnlock = hex("1D 67 75 6E 6C 00");
inline const std::string kLock = hex("1D 67 6C 63 6B 00");
inline const std::string kMaker = hex("1D 49 42");
inline const std::string kModel = hex("1D 49 43");
inline const std::string kSwitch1 = hex("1D 67 34 27 00");

// Names the rows of a parameterised test by their `name` member.
inline constexpr auto kRowName = [](const auto& rowInfo) { return std::string(rowInfo.param.name); };

// A fresh folder under /tmp, removed with its contents at the end of scope.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "emutest-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
