// The status refresh: the box shows the last state that changed, in words and
// colour, and only rewrites after a 5 ms settle and an event batch.

#include "linkfixture.h"

namespace softswitch::testing {
namespace {

using namespace std::chrono_literals;

struct StatusRow {
    const char* name;
    int socketState;
    const char* text;
    std::uint32_t colour;
};

class StatusLook : public LinkTest, public ::testing::WithParamInterface<StatusRow> {};

TEST_P(StatusLook, TextAndColourFromTheTable)
{
    state.LastTcpState = -1;
    form.txtSTATUS.Text = "stale";
    form.txtSTATUS.ForeColor = 0x123456;
    fake.socket.stateNumber = GetParam().socketState;
    link.StatusRefresh();
    EXPECT_EQ(form.txtSTATUS.Text, GetParam().text);
    EXPECT_EQ(form.txtSTATUS.ForeColor, GetParam().colour);
    EXPECT_EQ(state.LastTcpState, GetParam().socketState);
}

INSTANTIATE_TEST_SUITE_P(Rows, StatusLook,
                         ::testing::Values(StatusRow{"Closed", 0, "Disconnect", 0xFF0000},
                                           StatusRow{"Connecting", 6, "Connecting...", 0x000000},
                                           StatusRow{"Connected", 7, "Connected", 0x0000C0},
                                           StatusRow{"Resolving", 4, "unknown", 0x000000},
                                           StatusRow{"Closing", 8, "unknown", 0x000000},
                                           StatusRow{"Open", 1, "unknown", 0x000000}),
                         RowName{});

TEST_F(LinkTest, StatusAtStartLeavesTheBoxEmptyWithoutWaiting)
{
    link.StatusRefresh();
    EXPECT_EQ(form.txtSTATUS.Text, "");
    EXPECT_TRUE(fake.loop.sleeps.empty());
    EXPECT_EQ(fake.loop.eventBatches, 0);
}

TEST_F(LinkTest, StatusTwiceWithoutChangeRewritesOnce)
{
    fake.socket.stateNumber = 7;
    link.StatusRefresh();
    form.txtSTATUS.Text = "touched by nobody else";
    link.StatusRefresh();
    EXPECT_EQ(form.txtSTATUS.Text, "touched by nobody else");
    EXPECT_EQ(fake.loop.sleeps, (Sleeps{5ms}));
    EXPECT_EQ(fake.loop.eventBatches, 1);
}

TEST_F(LinkTest, StatusSettlesBeforeProcessingEventsAndShowsTheStateAfterThem)
{
    fake.socket.stateNumber = 6;
    std::size_t sleepsBeforeEvents = 0;
    fake.loop.onEvents = [&] {
        sleepsBeforeEvents = fake.loop.sleeps.size();
        fake.socket.stateNumber = 7; // the connection completed meanwhile
    };
    link.StatusRefresh();
    EXPECT_EQ(sleepsBeforeEvents, 1u);
    EXPECT_EQ(form.txtSTATUS.Text, "Connected");
    EXPECT_EQ(state.LastTcpState, 7);
}

TEST_F(LinkTest, StatusShowsAPeerDropOnTheNextTick)
{
    fake.socket.stateNumber = 7;
    link.StatusRefresh();
    fake.socket.stateNumber = 0; // the printer went away
    link.StatusRefresh();
    EXPECT_EQ(form.txtSTATUS.Text, "Disconnect");
    EXPECT_EQ(form.txtSTATUS.ForeColor, 0xFF0000u);
}

} // namespace
} // namespace softswitch::testing
