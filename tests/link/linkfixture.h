#pragma once
// A Link on the fakes: every platform facility records what the link asked
// for, and the clock records sleeps instead of sleeping.

#include "linkcalls.h"

#include <chrono>

namespace softswitch::testing {

using namespace std::chrono_literals;
using Sleeps = std::vector<std::chrono::milliseconds>;

class LinkTest : public ::testing::Test, public LinkCalls<LinkTest> {
protected:
    friend LinkCalls<LinkTest>;

    Form1 form;
    SharedState state;
    FakePlatform fake;
    Platform platform = fake.platform();
    Dialogs dialogs{platform.boxes};
    Link link{form, state, platform, dialogs};

    void tcpConnected()
    {
        fake.socket.stateNumber = kTcpConnected;
        state.LastTcpState = kTcpConnected;
    }
};

} // namespace softswitch::testing
