// Checks the first-underscore scan of the exchange on any input: it removes
// the first "_" and nothing else, so at most one byte goes and the others
// keep their order. The USB two-read scan's cases are the link test's rows.
#include "link/link.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string received(reinterpret_cast<const char*>(data), size);

    const std::string reply = softswitch::firstUnderscoreScan(received);
    const std::size_t underscore = received.find('_');
    if (underscore == std::string::npos) {
        check(reply == received);
    } else {
        check(reply.size() + 1 == received.size());
        check(reply.compare(0, underscore, received, 0, underscore) == 0);
        check(reply.compare(underscore, std::string::npos, received, underscore + 1) == 0);
    }
    return 0;
}
