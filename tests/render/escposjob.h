#pragma once
// A print job written as tokens, the way the command tokenizer hands them
// on, and as the bytes a client sends.

#include "escpostoken.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

struct EscPosJob {
    std::vector<emulator::EscPosToken> tokens;

    EscPosJob& text(const std::string& printable)
    {
        tokens.push_back({emulator::EscPosToken::Kind::Text, {printable.begin(), printable.end()}, {}, false, false});
        return *this;
    }
    EscPosJob& command(std::vector<std::uint8_t> bytes)
    {
        tokens.push_back({emulator::EscPosToken::Kind::Command, std::move(bytes), {}, false, false});
        return *this;
    }
    EscPosJob& command(std::initializer_list<int> bytes)
    {
        return command(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    }
    // A command made of fixed bytes followed by data.
    EscPosJob& command(std::initializer_list<int> head, const std::string& data)
    {
        std::vector<std::uint8_t> bytes(head.begin(), head.end());
        bytes.insert(bytes.end(), data.begin(), data.end());
        return command(std::move(bytes));
    }
    EscPosJob& line(const std::string& printable) { return text(printable).command({0x0A}); }

    std::vector<std::uint8_t> bytes() const
    {
        std::vector<std::uint8_t> all;
        for (const auto& token : tokens)
            all.insert(all.end(), token.bytes.begin(), token.bytes.end());
        return all;
    }
};
