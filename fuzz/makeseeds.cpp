// make_seeds DIR: the seed corpus of every fuzz target, a folder each.
//  parser/        one seed per row of the command table (with argument bytes
//                 the utility would send) and a few whole utility sessions;
//                 the first byte is the fuzzer's chunk selector.
//  replyscan/     every reply of a few emulated printers, as the serial link
//                 reads it and cut into the two 32-byte USB buffers; the first
//                 byte is the fuzzer's split point.
//  leadingnumber/ the same replies as the exchange returns them, and the
//                 replies the switch readout must refuse or round.
//  activitylog/   log lines as the queries write them.
#include "commandtable.h"
#include "printeremulator.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

void writeSeed(const fs::path& dir, const std::string& name, const std::string& bytes)
{
    fs::create_directories(dir);
    std::ofstream out(dir / name, std::ios::binary);
    out << bytes;
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

void writeParserSeeds(const fs::path& dir)
{
    const std::string chunk(1, '\0');
    std::string all;
    std::string unlocked;
    for (std::size_t i = 0; i < emulator::kCommands.size(); ++i) {
        const emulator::CommandRow& row = emulator::kCommands[i];
        const std::string sample = sampleOf(row);
        writeSeed(dir, "row" + std::to_string(i), chunk + sample);
        all += sample;
        if (row.kind == emulator::CommandKind::Write)
            unlocked += sample;
    }
    writeSeed(dir, "every-command", chunk + all);
    const std::string unlock("\x1D\x67\x75\x6E\x6C\x00", 6);
    const std::string lock("\x1D\x67\x6C\x63\x6B\x00", 6);
    writeSeed(dir, "unlocked-writes", chunk + unlock + unlocked + lock + all);
    std::string fonts = "\x1B\x21\x01" "FONT:08X16\r\n";
    for (int code = 33; code < 256; ++code)
        fonts.push_back(static_cast<char>(code));
    fonts += "\r\n\x1B\x40\r\n\x1B\x69";
    writeSeed(dir, "fonts-test", chunk + fonts);
}

// Every non-empty answer of one printer to the queries of the table.
std::vector<std::string> repliesOf(emulator::PrinterState state, emulator::Faults faults)
{
    emulator::PrinterEmulator printer(std::move(state), std::move(faults));
    emulator::EmulatorSession session(printer);
    std::vector<std::string> replies;
    for (const emulator::CommandRow& row : emulator::kCommands)
        if (row.kind == emulator::CommandKind::Query)
            if (std::string reply = session.feed(sampleOf(row)); !reply.empty())
                replies.push_back(std::move(reply));
    return replies;
}

std::vector<std::string> printerReplies()
{
    std::vector<std::string> replies = repliesOf({}, {});
    const std::pair<const char*, const char*> settings[] = {
        {"model", "KR-2250"}, {"sw1", "5"}, {"sw2", "128"}, {"sw3", "255"}, {"new8x16", "on"}, {"hours", "0099"}};
    emulator::PrinterState other;
    for (const auto& [key, value] : settings)
        other.set(key, value);
    for (std::string& reply : repliesOf(other, {}))
        replies.push_back(std::move(reply));
    emulator::Faults faulty;
    faulty.garbage = "\x01z";
    faulty.firstModelReply = ";1";
    for (std::string& reply : repliesOf({}, faulty))
        replies.push_back(std::move(reply));
    return replies;
}

std::string padded(std::string bytes, std::size_t size)
{
    bytes.resize(size, '\0');
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_seeds DIR\n";
        return 2;
    }
    const fs::path dir = argv[1];
    writeParserSeeds(dir / "parser");

    const std::vector<std::string> replies = printerReplies();
    std::vector<std::string> texts; // as the exchange returns them: the first "_" dropped
    for (std::size_t i = 0; i < replies.size(); ++i) {
        const std::string& reply = replies[i];
        const std::string usb = padded(reply.substr(0, 32), 32) + padded(reply.size() > 32 ? reply.substr(32) : "", 32);
        writeSeed(dir / "replyscan", "serial" + std::to_string(i), std::string(1, '\xFF') + reply);
        writeSeed(dir / "replyscan", "usb" + std::to_string(i), std::string(1, '\x20') + usb);
        std::string text = reply;
        if (const std::size_t underscore = text.find('_'); underscore != std::string::npos)
            text.erase(underscore, 1);
        texts.push_back(text);
    }
    // Switch replies the readout refuses, rounds or reads only in part.
    for (const char* edge : {"256", "-1", "2.5", "3.5", "254.5", "255.0000001", " 7", "+3", "12e", "1e2", "1.2.3",
                             "A5", "-0"})
        texts.emplace_back(edge);
    texts.push_back(std::string(400, '9'));
    texts.push_back("-" + std::string(400, '9'));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        writeSeed(dir / "leadingnumber", "reply" + std::to_string(i), texts[i]);
        writeSeed(dir / "activitylog", "line" + std::to_string(i), "getSW1-->" + texts[i]);
    }
    return 0;
}
