// Start-up, port choice, exit, unload, help and Timer1 on the fakes. The start
// state and the picks of list entries are in the e2e window cases.

#include "app/mainwindow.h"

#include "fakeplatform.h"

#include <gtest/gtest.h>

namespace softswitch {
namespace {

using testing::FakePlatform;

struct MainWindowTest : ::testing::Test {
    FakePlatform fakes;
    MainWindow window{fakes.platform()};
    Form1& form = window.form();

    void SetUp() override { ASSERT_TRUE(window.load()); }
    bool openedNothing() const
    {
        return fakes.serial.openCalls + fakes.socket.connects == 0 && fakes.parallel.history.empty();
    }
};

TEST_F(MainWindowTest, StartUpOpensNothing)
{
    EXPECT_TRUE(openedNothing());
    EXPECT_TRUE(fakes.boxes.shown.empty());
}

struct TypedPortRow {
    const char* text;
    const char* portType;
    bool serialShown, tcpShown;
};

// Only "TCP/IP" and "LPT1" as whole texts and "USB" as the first three characters are special.
TEST_F(MainWindowTest, TypedPortTextsAreComparedExactly)
{
    const TypedPortRow rows[] = {
        {"TCP/IP", "TCP", false, true}, {"TCP", "TCP", true, false},  {"tcp/ip", "TCP", true, false},
        {"LPT1", "LPT", false, false},  {"LPT2", "LPT", true, false}, {"USB-2", "USB", false, false},
        {"usb2", "USB", true, false},   {"COM7", "COM", true, false},
    };
    for (const TypedPortRow& row : rows) {
        form.Combo1.setText(row.text);
        form.frameCOMm.Visible = !row.serialShown; // both frames must be written
        form.frameTCPIP.Visible = !row.tcpShown;
        ASSERT_TRUE(window.click(form.Combo1));
        EXPECT_EQ(window.state().PortName, row.text);
        EXPECT_EQ(window.state().PortType, row.portType) << row.text;
        EXPECT_EQ(form.frameCOMm.Visible, row.serialShown) << row.text;
        EXPECT_EQ(form.frameTCPIP.Visible, row.tcpShown) << row.text;
    }
    EXPECT_TRUE(openedNothing());
}

TEST_F(MainWindowTest, ExitClosesTheTcpLinkStopsTheTimerAndEnds)
{
    form.Combo1.setText("TCP/IP");
    window.click(form.Combo1);
    fakes.socket.stateAfterConnect = kTcpConnected;
    bool ok = false;
    window.link().OpenPort("TCP/IP", true, ok);
    ASSERT_TRUE(form.Timer1.enabled());

    EXPECT_FALSE(window.click(form.cmdEXIT));
    EXPECT_TRUE(window.ended());
    EXPECT_EQ(fakes.socket.stateNumber, kTcpClosed);
    EXPECT_FALSE(fakes.timer.enabled);
    EXPECT_EQ(form.txtSTATUS.Text, "Disconnect");
    EXPECT_TRUE(fakes.boxes.shown.empty());
    EXPECT_EQ(fakes.shell.ends, 1);
    EXPECT_FALSE(window.click(form.cmdHELP)) << "nothing runs after the end";
    EXPECT_TRUE(fakes.shell.launched.empty());
}

TEST_F(MainWindowTest, ExitShowsTheCloseFailureAndStillEnds)
{
    bool ok = false;
    window.link().OpenPort("COM1", true, ok);
    fakes.serial.refuseClose = true;
    EXPECT_FALSE(window.click(form.cmdEXIT));
    EXPECT_EQ(fakes.shell.ends, 1);
    ASSERT_FALSE(fakes.boxes.shown.empty());
    EXPECT_EQ(fakes.boxes.shown[0].text.substr(0, 25), "The COM1 can not CLOSE !!");
}

TEST_F(MainWindowTest, TheCloseBoxClosesTheLinkWithoutCallingExit)
{
    form.Combo1.setText("LPT1");
    window.click(form.Combo1);
    bool ok = false;
    window.link().OpenPort("LPT1", true, ok);
    window.close();
    EXPECT_TRUE(window.ended());
    EXPECT_EQ(fakes.parallel.mode, testing::FakeParallel::Mode::Closed);
    EXPECT_EQ(fakes.shell.ends, 0);
}

TEST_F(MainWindowTest, HelpThatCannotStartIsReportedAndTheWindowGoesOn)
{
    fakes.shell.launchFails = true;
    EXPECT_TRUE(window.click(form.cmdHELP));
    ASSERT_EQ(fakes.boxes.shown.size(), 1u);
    EXPECT_EQ(fakes.boxes.shown[0].icon, MsgIcon::Information);
}

TEST_F(MainWindowTest, TimerTicksRefreshTheStatusOnlyWhileEnabled)
{
    fakes.socket.stateNumber = kTcpConnected;
    window.timerTick();
    EXPECT_EQ(form.txtSTATUS.Text, "");
    form.Timer1.setEnabled(true);
    window.timerTick();
    EXPECT_EQ(form.txtSTATUS.Text, "Connected");
}

} // namespace
} // namespace softswitch
