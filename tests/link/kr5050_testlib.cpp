// A stand-in for the printer maker's USB transport library: sendx answers the
// two reads of a query with fixed buffers ("_ABC" then "DE") and records the
// last write so that tests can see what reached the library.

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::int32_t kWriteMode = 0;
constexpr std::int32_t kReadMode = 5;

char g_lastWrite[256];
std::int32_t g_lastWriteLength = -1;
std::int32_t g_readResult = 0;
int g_reads = 0;

} // namespace

extern "C" {

__attribute__((visibility("default"))) std::int32_t sendx(char* data, const char* port, std::int32_t baud,
                                                          std::int32_t a4, std::int32_t length, std::int32_t mode,
                                                          std::int32_t bufferLength, char* buffer)
{
    if (std::strcmp(port, "usb") != 0 || baud != 9600 || a4 != 0)
        return 99;
    if (mode == kWriteMode) {
        g_lastWriteLength = length;
        std::memcpy(g_lastWrite, data, static_cast<std::size_t>(std::clamp(length, 0, 256)));
        data[0] = 'W'; // the caller must not read this back
        return 0;
    }
    if (mode != kReadMode || length != 1 || bufferLength != 32)
        return 98;
    ++g_reads;
    if (g_readResult != 0)
        return g_readResult;
    const char* answer = data[0] == '\0' ? "_ABC" : data[0] == ' ' ? "DE" : "??";
    std::memcpy(buffer, answer, std::strlen(answer));
    data[0] = 'P'; // the probe comes back changed on reads
    return 0;
}

// Test controls, found with dlsym on the same loaded library.
__attribute__((visibility("default"))) std::int32_t kr5050TestLastWrite(char* out, std::int32_t capacity)
{
    if (g_lastWriteLength > 0)
        std::memcpy(out, g_lastWrite, static_cast<std::size_t>(std::clamp(g_lastWriteLength, 0, capacity)));
    return g_lastWriteLength;
}

__attribute__((visibility("default"))) void kr5050TestSetReadResult(std::int32_t result)
{
    g_readResult = result;
}

__attribute__((visibility("default"))) int kr5050TestReads()
{
    return g_reads;
}

} // extern "C"
