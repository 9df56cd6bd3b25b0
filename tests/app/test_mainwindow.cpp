// Start-up, port choice, exit, unload, help and Timer1 on the fakes: what the
// e2e window cases cannot show. The start state and the picks of list entries
// are there.

#include "app/mainwindow.h"

#include "fakeplatform.h"

#include <gtest/gtest.h>

namespace softswitch {
namespace {

struct MainWindowTest : ::testing::Test {
    testing::FakePlatform fakes;
    MainWindow window{fakes.platform()};
    Form1& form = window.form();

    void SetUp() override { ASSERT_TRUE(window.load()); }
    void openPort(const std::string& portName)
    {
        form.Combo1.setText(portName);
        window.click(form.Combo1);
        bool ok = false;
        window.link().OpenPort(portName, true, ok);
    }
};

// Only "TCP/IP" and "LPT1" as whole texts and "USB" as the first three characters are special.
TEST_F(MainWindowTest, TypedPortTextsAreComparedExactlyAndOpenNothing)
{
    // Text, PortType, serial frame shown, TCP/IP frame shown.
    const std::tuple<const char*, const char*, bool, bool> rows[] = {
        {"TCP/IP", "TCP", false, true}, {"TCP", "TCP", true, false},  {"tcp/ip", "TCP", true, false},
        {"LPT1", "LPT", false, false},  {"LPT2", "LPT", true, false}, {"USB-2", "USB", false, false},
        {"usb2", "USB", true, false},   {"COM7", "COM", true, false},
    };
    for (const auto& [text, portType, serialShown, tcpShown] : rows) {
        form.Combo1.setText(text);
        form.frameCOMm.Visible = !serialShown; // both frames must be written
        form.frameTCPIP.Visible = !tcpShown;
        ASSERT_TRUE(window.click(form.Combo1));
        EXPECT_EQ(std::make_tuple(window.state().PortName, portTypeText(window.state()), form.frameCOMm.Visible,
                                  form.frameTCPIP.Visible),
                  std::make_tuple(text, portType, serialShown, tcpShown));
    }
    EXPECT_EQ(fakes.serial.openCalls + fakes.socket.connects + static_cast<int>(fakes.parallel.history.size()), 0);
}

TEST_F(MainWindowTest, ExitClosesTheLinkStopsTheTimerEndsAndNothingRunsAfter)
{
    openPort("TCP/IP");
    ASSERT_TRUE(fakes.timer.enabled);
    EXPECT_FALSE(window.click(form.cmdEXIT));
    EXPECT_TRUE(window.ended());
    EXPECT_EQ(std::tie(fakes.socket.closes, fakes.timer.enabled, fakes.shell.ends), std::make_tuple(2, false, 1));
    EXPECT_TRUE(fakes.boxes.shown.empty());
    EXPECT_FALSE(window.click(form.cmdHELP));
    EXPECT_TRUE(fakes.shell.launched.empty());
}

TEST_F(MainWindowTest, ExitTellsACloseFailureAndStillEnds)
{
    openPort("COM1");
    fakes.serial.refuseClose = true;
    EXPECT_FALSE(window.click(form.cmdEXIT));
    EXPECT_EQ(fakes.shell.ends, 1);
    ASSERT_FALSE(fakes.boxes.shown.empty());
    EXPECT_EQ(fakes.boxes.shown[0].text.substr(0, 25), "The COM1 can not CLOSE !!");
}

TEST_F(MainWindowTest, TheCloseBoxClosesTheLinkWithoutCallingExit)
{
    openPort("LPT1");
    window.close();
    EXPECT_TRUE(window.ended());
    EXPECT_EQ(fakes.parallel.history.back(), "close");
    EXPECT_EQ(fakes.shell.ends, 0);
}

TEST_F(MainWindowTest, HelpThatCannotStartIsToldAndTimerTicksRefreshOnlyWhileEnabled)
{
    fakes.shell.launchFails = true;
    EXPECT_TRUE(window.click(form.cmdHELP));
    ASSERT_EQ(fakes.boxes.shown.size(), 1u);
    EXPECT_EQ(fakes.boxes.shown[0].icon, MsgIcon::Information);

    fakes.socket.stateNumber = kTcpConnected;
    window.timerTick();
    EXPECT_EQ(form.txtSTATUS.Text, "");
    form.Timer1.setEnabled(true);
    window.timerTick();
    EXPECT_EQ(form.txtSTATUS.Text, "Connected");
}

} // namespace
} // namespace softswitch
