#pragma once
// Where a printer is reached, as the command line names it: the same links
// and serial choices the window offers in its port list and option buttons.

#include "form/sharedstate.h"
#include "platform/platform.h"

#include <optional>
#include <string>
#include <vector>

namespace softswitch::ctl {

inline constexpr int kDefaultTcpPort = 9100;
// The window's speeds, in the order its option buttons are tested.
inline constexpr int kBaudRates[] = {115200, 38400, 19200, 9600};

struct Target {
    LinkKind kind = LinkKind::Tcp;
    std::string host;      // tcp
    int port = kDefaultTcpPort;
    int comNumber = 0;     // com:N; 0 for serial:PATH
    std::string path;      // serial:PATH, lpt:PATH (empty: the --lpt or default device)
    int baud = 115200;     // the window's start choices
    Parity parity = Parity::None;
    Handshaking handshake = Handshaking::DtrDsr;

    // The canonical name, used in every message and output line.
    std::string name() const;
    // Targets that share this key share one device and run one after another.
    std::string laneKey() const;
};

// TARGET: tcp:HOST[:PORT], com:N or serial:PATH with @BAUD[,PARITY[,HANDSHAKE]],
// usb, lpt[:PATH]. Nothing, with the reason, when malformed.
std::optional<Target> parseTarget(const std::string& text, std::string& why);

// RANGE: HOST, A.B.C.D-E or A.B.C.D/N, with an optional :PORT; one TCP target
// per address (a /N network without its network and broadcast addresses).
std::optional<std::vector<Target>> parseRange(const std::string& text, std::string& why);

} // namespace softswitch::ctl
