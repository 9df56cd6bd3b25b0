// Feeds arbitrary bytes to an emulator session, cut into chunks chosen by
// the input, and checks what must hold for any stream:
//  - every received byte is reported in the events exactly once, in order
//    (the transcript loses nothing and invents nothing);
//  - every reply is a run of whole blocks "_" data NUL with no NUL inside;
//  - the same stream fed byte by byte gives the same events and replies.
#include "printeremulator.h"

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
};

Outcome run(std::string_view stream, std::size_t chunk)
{
    Outcome outcome;
    emulator::PrinterEmulator printer;
    printer.setEventHandler([&outcome](const emulator::Event& event) {
        outcome.received += event.bytes;
        outcome.events += std::string(event.name) + ":" + std::to_string(event.bytes.size()) + ";";
    });
    {
        emulator::EmulatorSession session(printer);
        for (std::size_t at = 0; at < stream.size(); at += chunk)
            outcome.replies += session.feed(stream.substr(at, chunk));
    }
    return outcome;
}

bool wellFramed(std::string_view replies)
{
    while (!replies.empty()) {
        if (replies.front() != '_')
            return false;
        const std::size_t end = replies.find('\0');
        if (end == std::string_view::npos)
            return false;
        replies.remove_prefix(end + 1);
    }
    return true;
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
    if (!wellFramed(chunked.replies))
        std::abort();
    const Outcome byteByByte = run(stream, 1);
    if (byteByByte.events != chunked.events || byteByByte.replies != chunked.replies)
        std::abort();
    return 0;
}
