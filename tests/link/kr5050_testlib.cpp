// A stand-in for the printer maker's USB transport library: sendx writes a
// description of the call before it into the buffer it is given (its text
// arguments, numbers and data bytes), sets the probe to "P" and returns the
// mode. Built a second time with the entry point under another name, as a
// library that lacks sendx, and a third time as one that fills KR5050_OVERRUN
// bytes of the 32-byte reply buffer.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {
char g_previous[64] = "";
}

extern "C" __attribute__((visibility("default"))) std::int32_t
KR5050_ENTRY(char* data, const char* port, std::int32_t baud, std::int32_t a4, std::int32_t length, std::int32_t mode,
             std::int32_t bufferLength, char* buffer)
{
    std::memcpy(buffer, g_previous, std::min(std::strlen(g_previous), static_cast<std::size_t>(std::max(bufferLength, 0))));
    int used = std::snprintf(g_previous, sizeof g_previous, "%s %d %d %d %d %d:", port, baud, a4, length, mode,
                             bufferLength);
    for (std::int32_t i = 0; i < length && used < 60; ++i)
        used += std::snprintf(g_previous + used, sizeof g_previous - static_cast<std::size_t>(used), i ? "%02X" : " %02X",
                              static_cast<unsigned char>(data[i]));
    data[0] = 'P';
#ifdef KR5050_OVERRUN
    std::memset(buffer, '_', KR5050_OVERRUN);
#endif
    return mode;
}
