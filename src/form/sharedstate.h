#pragma once
// The state the handlers share besides the controls: the chosen link, the
// bit masks, the last maker reply and the two window-level flags.

#include <array>
#include <cstdint>
#include <string>

namespace softswitch {

struct SharedState {
    std::string PortName;             // the port entry last chosen: "COM1".."COM16", "TCP/IP", "LPT1", "USB"
    std::string PortType = "COM";     // PortName's first three characters, upper-cased
    std::array<std::int16_t, 8> BitMask{}; // mask of switch bit index i
    std::string MakerString = "**";   // the maker reply last read
    bool SettingsChanged = false;     // the choice on screen may differ from the printer
    bool TabSwitching = false;        // the program itself is moving SSTab1
    std::int16_t LastTcpState = 0;    // the socket state last shown in txtSTATUS
};

} // namespace softswitch
