#pragma once
// The activity log on the "Log History" tab: one line per accepted reply.

#include "form/control.h"

#include <string>

namespace softswitch {

// The log keeps at most this many characters before it drops its oldest part.
inline constexpr std::size_t kLogTrimAt = 8192;
inline constexpr std::size_t kLogDropped = 4096;
inline constexpr std::size_t kLogKept = 12287;

// Appends one line to txtLOG, trimming the log first when it has grown too long.
void AddLog(Control& txtLOG, const std::string& line);

} // namespace softswitch
