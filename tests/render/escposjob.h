#pragma once
// A print job written as tokens, the way the command tokenizer hands them
// on, and the box of black dots a page or glyph cell holds.

#include "canvas.h"
#include "escpostoken.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <ostream>
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

    // Hands every token to a renderer or a receipt printer.
    template <class Consumer> void sendTo(Consumer& consumer) const
    {
        for (const auto& token : tokens)
            consumer.consume(token);
    }
};

struct Box {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Box&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const Box& b)
{
    return out << "{x " << b.x << ", y " << b.y << ", " << b.width << " x " << b.height << "}";
}

// The box of black dots, x counted from `origin`; all zero when there are none.
inline Box inkBox(const render::Canvas& page, int origin = 0)
{
    int left = page.width(), top = page.height(), right = -1, bottom = -1;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.dot(x, y))
                left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
    return right < 0 ? Box{} : Box{left - origin, top, right - left + 1, bottom - top + 1};
}
