#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace emulator {

// One unit of what a client sent to the printer, as the command tokenizer
// cuts the byte stream: either a run of printable text or one whole command.
// The tokens of a stream do not depend on how the stream was cut into reads.
struct EscPosToken {
    enum class Kind { Text, Command };
    Kind kind = Kind::Text;
    // Text: the printable bytes of the run, never a parameter byte.
    // Command: the whole command, prefix and parameters and data.
    std::vector<std::uint8_t> bytes;
    // Command: the grammar's name for it ("ESC a", "GS v 0", "LF" ...);
    // "unknown" for bytes the grammar has no length for. Empty for text.
    std::string_view name;
    // A real-time command found between the bytes of another command's
    // data. It is answered at once; its bytes are also part of the
    // enclosing command, so a consumer that draws must not act on it twice.
    bool insideCommand = false;
    // A command too long to hold at once comes in pieces: every piece but
    // the last has this set, and the pieces after the first carry data only.
    bool continued = false;
};

}  // namespace emulator
