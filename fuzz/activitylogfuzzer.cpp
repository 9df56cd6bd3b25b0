// Appends lines chosen by the input to a log of a length chosen by the input
// and checks after every line: the log ends with the new line, it never grows
// past the kept part, a line break and the line, a log under the trim length
// keeps everything, and a longer one loses exactly its oldest characters.
#include "form/activitylog.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(bool holds)
{
    if (!holds)
        std::abort();
}

// Letters that do not repeat with any short period, so a cut at the wrong
// place cannot compare equal by chance.
const std::string& pattern()
{
    static const std::string letters = [] {
        std::string text(3 * softswitch::kLogTrimAt, ' ');
        for (std::size_t p = 0; p < text.size(); ++p)
            text[p] = static_cast<char>('a' + (p * 2654435761u >> 16) % 26);
        return text;
    }();
    return letters;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    using namespace softswitch;
    FuzzedDataProvider input(data, size);
    Control txtLOG("txtLOG", ControlKind::TextBox);
    std::string& log = txtLOG.Text;
    // Start near or past the trim length, so that short inputs reach it.
    log.assign(pattern(), 0, input.ConsumeIntegralInRange<std::size_t>(0, pattern().size()));

    // The log before each line, kept in one buffer so checks cost no allocation.
    static std::string before;
    // A few dozen lines reach the trim from any start; more only cost time.
    for (int added = 0; added < 64 && input.remaining_bytes() > 0;) {
        const std::string line = input.ConsumeRandomLengthString(256);
        const int times = input.ConsumeIntegralInRange(1, 8);
        for (int i = 0; i < times; ++i, ++added) {
            before = log;
            AddLog(txtLOG, line);
            const std::string_view old(before);
            const std::string_view kept = old.size() < kLogTrimAt ? old : old.substr(kLogDropped, kLogKept);
            const std::string_view breakBefore = kept.empty() ? "" : "\r\n";
            const std::string_view now(log);
            check(now.ends_with(line));
            check(now.size() <= kLogKept + 2 + line.size());
            check(now.size() == kept.size() + breakBefore.size() + line.size());
            check(now.starts_with(kept));
            check(now.substr(kept.size(), breakBefore.size()) == breakBefore);
        }
    }
    return 0;
}
