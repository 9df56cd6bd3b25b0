// Feeds arbitrary bytes to an emulator session, cut into chunks chosen by
// the input, and checks what must hold for any stream:
//  - every received byte is reported in the events exactly once, in order
//    (the transcript loses nothing and invents nothing);
//  - the tokens handed to a consumer hold every byte once, in order, except
//    real-time commands found inside another command's data, which that
//    command holds as well; no text token holds a control byte;
//  - the same stream fed byte by byte gives the same events, tokens and replies.
#include "printeremulator.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

struct Outcome {
    std::string received;  // bytes of all events, in order
    std::string events;    // event boundaries and names, to compare runs
    std::string replies;
    std::string tokens;  // bytes of the tokens outside other commands
    std::string tokenBoundaries;
    bool controlInText = false;
};

Outcome run(std::string_view stream, std::size_t chunk)
{
    Outcome outcome;
    emulator::PrinterEmulator printer;
    printer.setEventHandler([&outcome](const emulator::Event& event) {
        outcome.received += event.bytes;
        outcome.events += std::string(event.name) + ":" + std::to_string(event.bytes.size()) + ";";
    });
    printer.setTokenHandler([&outcome](const emulator::EscPosToken& token) {
        const std::string bytes(token.bytes.begin(), token.bytes.end());
        outcome.tokenBoundaries += std::string(token.name) + ":" + std::to_string(bytes.size()) + ";";
        if (!token.insideCommand)
            outcome.tokens += bytes;
        if (token.kind == emulator::EscPosToken::Kind::Text)
            outcome.controlInText |= std::any_of(bytes.begin(), bytes.end(), [](char c) { return c >= 0 && c < 0x20; });
    });
    {
        emulator::EmulatorSession session(printer);
        for (std::size_t at = 0; at < stream.size(); at += chunk)
            outcome.replies += session.feed(stream.substr(at, chunk));
    }
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t chunk = 1 + data[0] % 16;
    const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);

    const Outcome chunked = run(stream, chunk);
    if (chunked.received != stream)
        std::abort();
    if (chunked.tokens != stream || chunked.controlInText)
        std::abort();
    const Outcome byteByByte = run(stream, 1);
    if (byteByByte.events != chunked.events || byteByByte.replies != chunked.replies ||
        byteByByte.tokenBoundaries != chunked.tokenBoundaries)
        std::abort();
    return 0;
}
