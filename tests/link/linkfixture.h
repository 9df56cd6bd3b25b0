#pragma once
// A Link wired to the fakes: the window model, the shared state and every
// platform facility recorded, so tests read what the link asked for.

#include "app/form1.h"
#include "app/sharedstate.h"
#include "app/text.h"
#include "fakeplatform.h"
#include "link/link.h"
#include "rowname.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace softswitch::testing {

using Sleeps = std::vector<std::chrono::milliseconds>;
using Bytes = std::vector<std::uint8_t>;

inline std::string bytesText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

class LinkTest : public ::testing::Test {
protected:
    Form1 form;
    SharedState state;
    FakePlatform fake;
    Link link{form, state, fake.platform()};

    // What a Combo1 pick does to the shared state.
    void choose(const std::string& portName)
    {
        state.PortName = portName;
        state.PortType = upperCase(left(portName, 3));
    }

    // One exchange; returns what the mode/reply argument holds afterwards.
    std::string send(const Bytes& command, std::string mode)
    {
        link.SendCommand(command, mode);
        return mode;
    }

    bool openPort(bool open)
    {
        bool ok = false;
        link.OpenPort(state.PortName, open, ok);
        return ok;
    }
};

// The query GS I 1 used wherever the command bytes do not matter.
inline const Bytes kQuery{29, 73, 49};

} // namespace softswitch::testing
