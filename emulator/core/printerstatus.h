#pragma once

#include "printerstate.h"

#include <cstdint>
#include <optional>
#include <string>

namespace emulator {

// The one-byte status reports a printer sends back.
enum class StatusReport {
    Printer,       // DLE EOT 1
    OfflineCause,  // DLE EOT 2
    ErrorCause,    // DLE EOT 3
    PaperSensor,   // DLE EOT 4
    PaperGsR,      // GS r 1
    DrawerGsR,     // GS r 2
    Auto1,         // the four bytes of automatic status back
    Auto2,
    Auto3,
    Auto4,
};

std::uint8_t statusByte(const PrinterState& state, StatusReport report);

// The report a status request asks for: DLE EOT n, GS r n, GS I n (the
// printer's one-byte IDs). Nothing for a selector the printer does not know.
std::optional<std::uint8_t> statusReply(const PrinterState& state, std::string_view command);

// Automatic status back: its four bytes, and the part of the state that a
// mask (GS a n) watches, to tell when a new report is due.
std::string automaticStatus(const PrinterState& state);
std::uint8_t watchedStatus(const PrinterState& state, std::uint8_t mask);

}  // namespace emulator
