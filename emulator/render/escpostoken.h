#pragma once
// One unit of an ESC/POS stream as the command grammar cuts it: a whole
// command (prefix, parameters and data) or a run of printable text.

#include <cstdint>
#include <vector>

namespace emulator {

struct EscPosToken {
    enum class Kind { Text, Command };
    Kind kind;
    std::vector<std::uint8_t> bytes;
};

}  // namespace emulator
