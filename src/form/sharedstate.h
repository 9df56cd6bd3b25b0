#pragma once
// The state the handlers share besides the controls: the chosen link, the
// bit masks, the last maker reply and the two window-level flags.

#include "form/text.h"

#include <array>
#include <cstdint>
#include <string>

namespace softswitch {

// The link a port entry stands for, named by the entry's first three
// characters, upper-cased; any other entry is no link.
enum class LinkKind { Serial, Parallel, Tcp, Usb, None };

struct LinkKindName {
    LinkKind kind;
    const char* name;
};
inline constexpr LinkKindName kLinkKindNames[] = {
    {LinkKind::Serial, "COM"}, {LinkKind::Parallel, "LPT"}, {LinkKind::Tcp, "TCP"}, {LinkKind::Usb, "USB"}};

inline LinkKind linkKindOf(const std::string& portName)
{
    const std::string type = upperCase(left(portName, 3));
    for (const LinkKindName& entry : kLinkKindNames)
        if (type == entry.name)
            return entry.kind;
    return LinkKind::None;
}

struct SharedState {
    std::string PortName;             // the port entry last chosen: "COM1".."COM16", "TCP/IP", "LPT1", "USB"
    LinkKind PortType = LinkKind::Serial; // the link of PortName
    std::array<std::int16_t, 8> BitMask{}; // mask of switch bit index i
    std::string MakerString = "**";   // the maker reply last read
    bool SettingsChanged = false;     // the choice on screen may differ from the printer
    bool TabSwitching = false;        // the program itself is moving SSTab1
    std::int16_t LastTcpState = 0;    // the socket state last shown in txtSTATUS
};

// PortType as its three characters ("COM", "TCP", ...): PortName's first
// three, upper-cased, as they were when PortType was set from it.
inline std::string portTypeText(const SharedState& state)
{
    for (const LinkKindName& entry : kLinkKindNames)
        if (state.PortType == entry.kind)
            return entry.name;
    return upperCase(left(state.PortName, 3));
}

} // namespace softswitch
