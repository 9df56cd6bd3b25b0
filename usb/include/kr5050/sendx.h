#pragma once

// The transport library call the utility loads from ./libKR5050.so.
//
// Write call: data points at the command bytes; length is the number of
// command bytes plus one (only length - 1 bytes are read); mode 0.
// Read call: data points at one probe character; length 1, mode 5;
// buffer holds bufferLength (32) bytes that the call fills with reply bytes.
// The result is 0 on success; anything else ends the caller's read.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

int32_t sendx(char* data, const char* port, int32_t baud, int32_t a4, int32_t length, int32_t mode,
              int32_t bufferLength, char* buffer);

#ifdef __cplusplus
}

#include <cstddef>

namespace kr5050 {

inline constexpr int32_t kModeWrite = 0;
inline constexpr int32_t kModeRead = 5;

// Results of sendx; the utility only tells 0 from the rest.
enum class SendxResult : int32_t {
    Ok = 0,
    BadCall = 1,      // null pointer, length below 1, unknown mode
    NoDevice = 2,     // device missing or cannot be opened; emulator options refused
    IoError = 3,      // the device failed during the transfer
    LineDropped = 4,  // emulated: the drop-after fault has cut the line
};

constexpr int32_t toResult(SendxResult result) { return static_cast<int32_t>(result); }

// Checks the arguments of a sendx call and hands it to the transport's
// write (the command without the extra length byte) or read.
template <typename Transport>
int32_t dispatch(Transport& transport, char* data, int32_t length, int32_t mode, int32_t bufferLength,
                 char* buffer)
{
    if (!data || length < 1)
        return toResult(SendxResult::BadCall);
    if (mode == kModeWrite)
        return transport.write(data, static_cast<std::size_t>(length - 1));
    if (mode == kModeRead && buffer && bufferLength > 0)
        return transport.read(buffer, static_cast<std::size_t>(bufferLength));
    return toResult(SendxResult::BadCall);
}

}  // namespace kr5050
#endif
