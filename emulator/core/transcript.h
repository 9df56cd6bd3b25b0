#pragma once

#include "printeremulator.h"

#include <fstream>
#include <string>
#include <string_view>

namespace emulator {

// "1D 49 42": two upper-case hex digits a byte, separated by blanks.
std::string hexBytes(std::string_view bytes);

// Parses hex text such as "1D 49 42" or "1d4942"; blanks between bytes are
// optional. Returns nothing when the text is not whole bytes of hex.
std::optional<std::string> parseHexBytes(std::string_view text);

// Appends one line per event to a file: every byte received, in order.
class Transcript {
public:
    // Opens FILE for appending; false when it cannot be opened.
    bool open(const std::string& path);
    bool isOpen() const { return m_file.is_open(); }
    void record(const Event& event);
    // A line could not be written (a full disk, /dev/full): from then on
    // the file no longer holds every byte, and the owner must say so.
    bool failed() const { return m_failed; }

private:
    std::ofstream m_file;
    std::string m_line;  // the hex text of a line, or of a slice of a long one
    bool m_failed = false;
};

}  // namespace emulator
