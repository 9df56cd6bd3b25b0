#include "printerstatus.h"

#include <array>

namespace emulator {

namespace {

// What the states mean to the sensors. A printer goes offline when told to,
// with its cover open, and when it stops for want of paper; the near-end
// sensor sees no paper once the paper is out.
enum class Condition { DrawerPinHigh, Offline, CoverOpen, PaperNearEnd, PaperOut };

bool holds(const PrinterState& state, Condition condition)
{
    const bool paperOut = state.value(Field::Paper) == "out";
    switch (condition) {
    case Condition::DrawerPinHigh:
        return state.value(Field::Drawer) == "closed";
    case Condition::Offline:
        return state.value(Field::Online) == "no" || state.value(Field::Cover) == "open" || paperOut;
    case Condition::CoverOpen:
        return state.value(Field::Cover) == "open";
    case Condition::PaperNearEnd:
        return paperOut || state.value(Field::Paper) == "near-end";
    case Condition::PaperOut:
        return paperOut;
    }
    return false;
}

// The bits that are always 1 in each report (DLE EOT: bits 1 and 4; the
// first byte of automatic status: bit 4), in the order of StatusReport.
constexpr std::array<std::uint8_t, 10> kFixedBits{0x12, 0x12, 0x12, 0x12, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00};

struct StatusBit {
    StatusReport report;
    Condition condition;
    std::uint8_t bits;
};

// Which condition sets which bits. The drawer bit is the level of the
// connector's pin; with this printer's drawer the pin is high while the
// drawer is closed, the reading point-of-sale clients such as receiptio
// expect.
constexpr std::array kStatusBits{
    StatusBit{StatusReport::Printer, Condition::DrawerPinHigh, 0x04},
    StatusBit{StatusReport::Printer, Condition::Offline, 0x08},
    StatusBit{StatusReport::OfflineCause, Condition::CoverOpen, 0x04},
    StatusBit{StatusReport::OfflineCause, Condition::PaperOut, 0x20},
    StatusBit{StatusReport::PaperSensor, Condition::PaperNearEnd, 0x0C},
    StatusBit{StatusReport::PaperSensor, Condition::PaperOut, 0x60},
    StatusBit{StatusReport::PaperGsR, Condition::PaperNearEnd, 0x03},
    StatusBit{StatusReport::PaperGsR, Condition::PaperOut, 0x0C},
    StatusBit{StatusReport::DrawerGsR, Condition::DrawerPinHigh, 0x01},
    StatusBit{StatusReport::Auto1, Condition::DrawerPinHigh, 0x04},
    StatusBit{StatusReport::Auto1, Condition::Offline, 0x08},
    StatusBit{StatusReport::Auto1, Condition::CoverOpen, 0x20},
    StatusBit{StatusReport::Auto3, Condition::PaperNearEnd, 0x03},
    StatusBit{StatusReport::Auto3, Condition::PaperOut, 0x0C},
};

// GS a n: which mask bit watches which conditions (bit 2, errors, watches
// none this printer can have).
struct Watch {
    std::uint8_t maskBit;
    Condition condition;
};
constexpr std::array kWatches{
    Watch{0x01, Condition::DrawerPinHigh},   Watch{0x02, Condition::Offline},  Watch{0x02, Condition::CoverOpen},
    Watch{0x08, Condition::PaperNearEnd}, Watch{0x08, Condition::PaperOut},
};

// GS I 1, 2, 3 (and 49, 50, 51): printer model ID, type ID (bit 1: an
// autocutter), ROM version ID.
constexpr std::uint8_t kModelId = 0x20;
constexpr std::uint8_t kTypeId = 0x02;
constexpr std::uint8_t kVersionId = 0x40;

}  // namespace

std::uint8_t statusByte(const PrinterState& state, StatusReport report)
{
    std::uint8_t byte = kFixedBits[static_cast<std::size_t>(report)];
    for (const StatusBit& bit : kStatusBits) {
        if (bit.report == report && holds(state, bit.condition))
            byte |= bit.bits;
    }
    return byte;
}

std::optional<std::uint8_t> statusReply(const PrinterState& state, std::string_view command)
{
    if (command.size() != 3)
        return std::nullopt;
    const auto selector = static_cast<std::uint8_t>(command[2]);
    const std::string_view prefix = command.substr(0, 2);
    if (prefix == "\x10\x04" && selector >= 1 && selector <= 4)
        return statusByte(state, static_cast<StatusReport>(selector - 1));
    if (prefix == "\x1D\x72" && (selector == 1 || selector == 49))
        return statusByte(state, StatusReport::PaperGsR);
    if (prefix == "\x1D\x72" && (selector == 2 || selector == 50))
        return statusByte(state, StatusReport::DrawerGsR);
    if (prefix == "\x1D\x49") {
        switch (selector) {
        case 1:
        case 49:
            return kModelId;
        case 2:
        case 50:
            return kTypeId;
        case 3:
        case 51:
            return kVersionId;
        default:
            break;
        }
    }
    return std::nullopt;
}

std::string automaticStatus(const PrinterState& state)
{
    std::string bytes;
    for (StatusReport report : {StatusReport::Auto1, StatusReport::Auto2, StatusReport::Auto3, StatusReport::Auto4})
        bytes.push_back(static_cast<char>(statusByte(state, report)));
    return bytes;
}

std::uint8_t watchedStatus(const PrinterState& state, std::uint8_t mask)
{
    std::uint8_t watched = 0;
    for (std::size_t i = 0; i < kWatches.size(); ++i) {
        if ((mask & kWatches[i].maskBit) && holds(state, kWatches[i].condition))
            watched |= static_cast<std::uint8_t>(1u << i);
    }
    return watched;
}

}  // namespace emulator
