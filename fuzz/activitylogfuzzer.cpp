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

    // A few dozen lines reach the trim from any start; more only cost time.
    for (int added = 0; added < 64 && input.remaining_bytes() > 0;) {
        const std::string line = input.ConsumeRandomLengthString(256);
        const int times = input.ConsumeIntegralInRange(1, 8);
        for (int i = 0; i < times; ++i, ++added) {
            const std::string kept = log.size() < kLogTrimAt ? log : log.substr(kLogDropped, kLogKept);
            const std::string breakBefore = kept.empty() ? "" : "\r\n";
            AddLog(txtLOG, line);
            check(log.size() >= line.size() && log.compare(log.size() - line.size(), line.size(), line) == 0);
            check(log.size() <= kLogKept + 2 + line.size());
            check(log.size() == kept.size() + breakBefore.size() + line.size());
            check(log.compare(0, kept.size(), kept) == 0);
            check(log.compare(kept.size(), breakBefore.size(), breakBefore) == 0);
        }
    }
    return 0;
}
