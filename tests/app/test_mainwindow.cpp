#include "app/mainwindow.h"

#include "fakeplatform.h"
#include "form/activitylog.h"

#include <gtest/gtest.h>

namespace softswitch {
namespace {

using testing::FakePlatform;

struct MainWindowTest : ::testing::Test {
    FakePlatform fakes;
    MainWindow window{fakes.platform()};
    Form1& form = window.form();
    SharedState& state = window.state();

    void SetUp() override { ASSERT_TRUE(window.load()); }

    void pickPort(const std::string& entry)
    {
        const auto& list = form.Combo1.list;
        const auto at = std::find(list.begin(), list.end(), entry);
        ASSERT_NE(at, list.end()) << entry;
        ASSERT_TRUE(window.pick(form.Combo1, static_cast<int>(at - list.begin())));
    }
};

TEST_F(MainWindowTest, StartUpFillsTheSharedStateAndOpensNothing)
{
    EXPECT_EQ(state.PortName, "COM1");
    EXPECT_EQ(state.PortType, "COM");
    EXPECT_EQ(state.MakerString, "**");
    EXPECT_EQ(state.BitMask, (std::array<std::int16_t, 8>{1, 2, 4, 8, 16, 32, 64, 128}));
    EXPECT_FALSE(state.SettingsChanged);
    EXPECT_FALSE(state.TabSwitching);
    EXPECT_EQ(state.LastTcpState, 0);
    EXPECT_EQ(form.comboInterChars.Text, "0 - U.S.A.");
    EXPECT_EQ(form.comboInterChars.listIndex(), 0);
    EXPECT_EQ(form.txtSTATUS.Text, ""); // the closed socket equals the start state
    EXPECT_FALSE(form.Timer1.enabled());
    EXPECT_EQ(fakes.serial.openCalls, 0);
    EXPECT_EQ(fakes.socket.connects, 0);
    EXPECT_TRUE(fakes.parallel.history.empty());
    EXPECT_TRUE(fakes.boxes.shown.empty());
}

struct FramesRow {
    const char* entry;
    const char* portType;
    bool serialShown;
    bool tcpShown;
};

class PortSelection : public MainWindowTest, public ::testing::WithParamInterface<FramesRow> {};

TEST_P(PortSelection, ShowsTheSettingsFrameOfTheChosenLink)
{
    const FramesRow& row = GetParam();
    pickPort("TCP/IP"); // start from the other frame, so both must switch
    pickPort(row.entry);
    EXPECT_EQ(state.PortName, row.entry);
    EXPECT_EQ(state.PortType, row.portType);
    EXPECT_EQ(form.frameCOMm.Visible, row.serialShown);
    EXPECT_EQ(form.frameTCPIP.Visible, row.tcpShown);
    EXPECT_EQ(fakes.socket.connects + fakes.serial.openCalls, 0) << "picking a port opens nothing";
}

INSTANTIATE_TEST_SUITE_P(EveryKindOfEntry, PortSelection,
                         ::testing::Values(FramesRow{"COM1", "COM", true, false},
                                           FramesRow{"COM12", "COM", true, false},
                                           FramesRow{"COM16", "COM", true, false},
                                           FramesRow{"TCP/IP", "TCP", false, true},
                                           FramesRow{"LPT1", "LPT", false, false},
                                           FramesRow{"USB", "USB", false, false}),
                         [](const auto& row) {
                             std::string name = row.param.entry;
                             name.erase(std::remove(name.begin(), name.end(), '/'), name.end());
                             return name;
                         });

TEST_F(MainWindowTest, TypedPortTextsAreTestedByTheirFirstCharacters)
{
    form.Combo1.setText("usb2"); // lower case: not "USB" in its first three characters
    ASSERT_TRUE(window.click(form.Combo1));
    EXPECT_EQ(state.PortType, "USB"); // upper-cased for the link decisions
    EXPECT_TRUE(form.frameCOMm.Visible);
    form.Combo1.setText("USB-2");
    ASSERT_TRUE(window.click(form.Combo1));
    EXPECT_FALSE(form.frameCOMm.Visible);
    EXPECT_FALSE(form.frameTCPIP.Visible);
}

TEST_F(MainWindowTest, ExitBeforeAnyTestClosesNothingAndShowsNothing)
{
    EXPECT_FALSE(window.click(form.cmdEXIT));
    EXPECT_TRUE(window.ended());
    EXPECT_TRUE(fakes.boxes.shown.empty());
    EXPECT_EQ(fakes.serial.closeCalls, 0);
    EXPECT_EQ(fakes.shell.ends, 1);
}

TEST_F(MainWindowTest, ExitWithATcpConnectionClosesItAndStopsTheTimer)
{
    pickPort("TCP/IP");
    form.tcpIP.Text = "127.0.0.1";
    fakes.socket.stateAfterConnect = 7;
    bool ok = false;
    window.link().OpenPort(state.PortName, true, ok);
    ASSERT_TRUE(fakes.timer.enabled);
    ASSERT_EQ(form.txtSTATUS.Text, "Connected");

    EXPECT_FALSE(window.click(form.cmdEXIT));
    EXPECT_TRUE(window.ended());
    EXPECT_GE(fakes.socket.closes, 1);
    EXPECT_EQ(fakes.socket.stateNumber, 0);
    EXPECT_FALSE(fakes.timer.enabled);
    EXPECT_FALSE(form.Timer1.enabled());
    EXPECT_EQ(form.txtSTATUS.Text, "Disconnect");
    EXPECT_TRUE(fakes.boxes.shown.empty());
}

TEST_F(MainWindowTest, ExitOverSerialClosesTheOpenPortOnce)
{
    bool ok = false;
    window.link().OpenPort(state.PortName, true, ok);
    ASSERT_TRUE(ok);
    EXPECT_FALSE(window.click(form.cmdEXIT));
    EXPECT_FALSE(fakes.serial.open);
    EXPECT_EQ(fakes.serial.closeCalls, 1); // the unload finds it closed and leaves it
    EXPECT_TRUE(fakes.boxes.shown.empty());
}

TEST_F(MainWindowTest, ExitShowsTheCloseFailureAndStillEnds)
{
    bool ok = false;
    window.link().OpenPort(state.PortName, true, ok);
    fakes.serial.refuseClose = true;
    EXPECT_FALSE(window.click(form.cmdEXIT));
    EXPECT_TRUE(window.ended());
    ASSERT_GE(fakes.boxes.shown.size(), 1u);
    EXPECT_EQ(fakes.boxes.shown[0].text,
              "The COM1 can not CLOSE !!\r\rPlease check that whether <printer driver> or <other application> occupy it !");
}

TEST_F(MainWindowTest, NothingRunsAfterTheProgramEnded)
{
    window.click(form.cmdEXIT);
    EXPECT_FALSE(window.click(form.cmdHELP));
    EXPECT_TRUE(fakes.shell.launched.empty());
}

TEST_F(MainWindowTest, ClosingTheWindowClosesTheLink)
{
    pickPort("LPT1");
    bool ok = false;
    window.link().OpenPort(state.PortName, true, ok);
    ASSERT_EQ(fakes.parallel.mode, testing::FakeParallel::Mode::Writing);
    window.close();
    EXPECT_TRUE(window.ended());
    EXPECT_EQ(fakes.parallel.mode, testing::FakeParallel::Mode::Closed);
    EXPECT_EQ(fakes.shell.ends, 0) << "the close box unloads the window; it does not call EXIT";
}

TEST_F(MainWindowTest, HelpStartsTheEditorWithoutEndingTheProgram)
{
    EXPECT_TRUE(window.click(form.cmdHELP));
    EXPECT_EQ(fakes.shell.launched, (std::vector<std::string>{"NotePad.exe KR_SW_Help.txt"}));
    EXPECT_TRUE(fakes.boxes.shown.empty());
}

TEST_F(MainWindowTest, HelpThatCannotStartIsReportedAndTheWindowGoesOn)
{
    fakes.shell.launchFails = true;
    EXPECT_TRUE(window.click(form.cmdHELP));
    EXPECT_FALSE(window.ended());
    ASSERT_EQ(fakes.boxes.shown.size(), 1u);
    EXPECT_EQ(fakes.boxes.shown[0].icon, MsgIcon::Information);
}

TEST_F(MainWindowTest, ClearEmptiesTheLogAndTheNextLineStartsWithoutABreak)
{
    AddLog(form.txtLOG, "getSW1-->1");
    window.cmdCLEARlst_Click();
    EXPECT_EQ(form.txtLOG.Text, "");
    AddLog(form.txtLOG, "getSW2-->2");
    EXPECT_EQ(form.txtLOG.Text, "getSW2-->2");
}

TEST_F(MainWindowTest, TimerTicksRefreshTheStatusOnlyWhileEnabled)
{
    fakes.socket.stateNumber = 7;
    window.timerTick();
    EXPECT_EQ(form.txtSTATUS.Text, "") << "Timer1 is off at start";
    form.Timer1.setEnabled(true);
    window.timerTick();
    EXPECT_EQ(form.txtSTATUS.Text, "Connected");
}

} // namespace
} // namespace softswitch
