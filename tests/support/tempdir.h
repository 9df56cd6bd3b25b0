#pragma once
// A fresh folder for one test, reading a file whole, and text as lines.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

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

// The lines of a text, as std::getline gives them.
inline std::vector<std::string> lines(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> result;
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

// The rows of a table file: a row a line, its fields split at "|" and trimmed;
// blank lines and "#" lines are comments. A file without rows throws.
inline std::vector<std::vector<std::string>> tableRows(const std::string& path)
{
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : lines(readFile(path))) {
        if (line.find_first_not_of(' ') == std::string::npos || line[0] == '#')
            continue;
        std::istringstream fields(line + (line.back() == '|' ? " " : ""));
        std::vector<std::string>& row = rows.emplace_back();
        for (std::string field; std::getline(fields, field, '|');) {
            field.erase(0, field.find_first_not_of(' '));
            row.push_back(field.erase(field.find_last_not_of(' ') + 1));
        }
    }
    if (rows.empty())
        throw std::runtime_error("no rows in " + path);
    return rows;
}
