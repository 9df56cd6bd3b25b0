#pragma once
// Shared by every link test: the query bytes, row names, the calls the window
// makes on the link (a port pick, OpenPort, SendCommand), and LinkTest, a
// Link on the fakes whose clock records sleeps instead of sleeping.

#include "fakeplatform.h"
#include "form/text.h"
#include "link/context.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace softswitch::testing {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Sleeps = std::vector<std::chrono::milliseconds>;

// GS I 1, used wherever the command bytes do not matter.
inline const Bytes kQuery{29, 73, 49};

inline std::string asText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Names a row after its name field; a pair of rows after both.
struct RowName {
    template <class Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& row) const { return row.param.name; }
    template <class A, class B>
    std::string operator()(const ::testing::TestParamInfo<std::tuple<A, B>>& row) const
    {
        return std::string(std::get<0>(row.param).name) + "_" + std::get<1>(row.param).name;
    }
};

// Exactly one box was shown, with an OK button and this text, icon and title.
inline void expectOneBox(const FakeBoxes& boxes, const std::string& text, MsgIcon icon,
                         const std::string& title = kAppTitle)
{
    ASSERT_EQ(boxes.shown.size(), 1u);
    const auto& box = boxes.shown[0];
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(std::tie(box.icon, box.buttons, box.title), std::make_tuple(icon, MsgButtons::Ok, title));
}

template <class Self>
class LinkCalls {
public:
    void choose(const std::string& portName) // what a Combo1 pick does
    {
        self().state.PortName = portName;
        self().state.PortType = upperCase(left(portName, 3));
    }
    bool openPort(bool open)
    {
        bool ok = false;
        self().link.OpenPort(self().state.PortName, open, ok);
        return ok;
    }
    // One exchange; returns what the mode/reply argument holds afterwards.
    std::string send(const Bytes& command, std::string mode)
    {
        self().link.SendCommand(command, mode);
        return mode;
    }

private:
    Self& self() { return static_cast<Self&>(*this); }
};

class LinkTest : public ::testing::Test, public LinkCalls<LinkTest> {
protected:
    friend LinkCalls<LinkTest>;
    Form1 form;
    SharedState state;
    FakePlatform fake;
    Context context{form, state, fake.platform()};
    Link& link = context.link;

    void tcpConnected() { fake.socket.stateNumber = state.LastTcpState = kTcpConnected; }
};

} // namespace softswitch::testing
