// Checks the two reply scans of the exchange against their rules, stated
// here as a whole rather than as the byte loops they are written as:
//  - the first-underscore scan removes the first "_" and nothing else, so at
//    most one byte goes and the others keep their order;
//  - the USB two-read scan gives nothing for an all-NUL first buffer, the
//    first buffer whole when it holds no "_", and otherwise what follows its
//    first "_" and then the second buffer, both without NULs.
// The first input byte says where the rest splits into the two USB buffers.
#include "link/link.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string withoutNuls(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    return text;
}

std::string usbRule(const std::string& first, const std::string& second)
{
    if (first.find_first_not_of('\0') == std::string::npos)
        return {};
    const std::size_t underscore = first.find('_');
    if (underscore == std::string::npos)
        return first;
    return withoutNuls(first.substr(underscore + 1)) + withoutNuls(second);
}

void check(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string received(reinterpret_cast<const char*>(data + 1), size - 1);

    const std::string reply = softswitch::firstUnderscoreScan(received);
    const std::size_t underscore = received.find('_');
    if (underscore == std::string::npos) {
        check(reply == received);
    } else {
        check(reply.size() + 1 == received.size());
        check(reply.compare(0, underscore, received, 0, underscore) == 0);
        check(reply.compare(underscore, std::string::npos, received, underscore + 1) == 0);
    }

    const std::size_t split = std::min<std::size_t>(data[0], received.size());
    const std::string first = received.substr(0, split);
    const std::string second = received.substr(split);
    check(softswitch::usbTwoReadScan(first, second) == usbRule(first, second));
    return 0;
}
