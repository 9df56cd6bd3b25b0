// make_seeds DIR: one seed per row of the command table (with argument
// bytes the utility would send), and a few whole utility sessions. The
// first byte of each seed is the fuzzer's chunk selector.
#include "commandtable.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace {

void writeSeed(const std::filesystem::path& dir, const std::string& name, const std::string& bytes)
{
    std::ofstream out(dir / name, std::ios::binary);
    out << '\x00' << bytes;
}

// Argument bytes as the utility fills them: digits, then NULs.
std::string sampleOf(const emulator::CommandRow& row)
{
    std::string bytes(row.prefix);
    if (row.kind == emulator::CommandKind::Write) {
        bytes += "12";
        if (row.field == emulator::Field::New8x16)
            bytes.replace(bytes.size() - 2, 2, "ON");
    }
    bytes.resize(row.length, row.kind == emulator::CommandKind::PrintMode ? '\x01' : '\0');
    return bytes;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_seeds DIR\n";
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    std::string all;
    std::string unlocked;
    for (std::size_t i = 0; i < emulator::kCommands.size(); ++i) {
        const emulator::CommandRow& row = emulator::kCommands[i];
        const std::string sample = sampleOf(row);
        writeSeed(dir, "row" + std::to_string(i), sample);
        all += sample;
        if (row.kind == emulator::CommandKind::Write)
            unlocked += sample;
    }
    writeSeed(dir, "every-command", all);
    const std::string unlock(emulator::kCommands[0].prefix.size() == 0 ? "" : "\x1D\x67\x75\x6E\x6C\x00", 6);
    const std::string lock("\x1D\x67\x6C\x63\x6B\x00", 6);
    writeSeed(dir, "unlocked-writes", unlock + unlocked + lock + all);
    std::string fonts = "\x1B\x21\x01" "FONT:08X16\r\n";
    for (int code = 33; code < 256; ++code)
        fonts.push_back(static_cast<char>(code));
    fonts += "\r\n\x1B\x40\r\n\x1B\x69";
    writeSeed(dir, "fonts-test", fonts);
    return 0;
}
