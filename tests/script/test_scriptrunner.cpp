#include "script/scriptrunner.h"

#include "fakeplatform.h"

#include <gtest/gtest.h>

#include <sstream>

namespace softswitch::script {
namespace {

struct Outcome {
    int exitCode;
    std::string out;
    std::string err;
};

struct ScriptRunnerTest : ::testing::Test {
    testing::FakePlatform fakes;
    std::ostringstream out;
    std::ostringstream err;
    ScriptBoxes boxes{out};
    ScriptShell shell{out};
    std::vector<int> waits;

    Platform platform()
    {
        return {fakes.serial, fakes.socket, fakes.parallel, fakes.usb, fakes.loop, fakes.timer, boxes, shell};
    }

    Outcome run(MainWindow& window, const std::string& script)
    {
        ScriptRunner runner(window, boxes, out, err, [this](int ms) { waits.push_back(ms); });
        std::istringstream in(script);
        const int code = runner.run(in);
        return {code, out.str(), err.str()};
    }

    Outcome run(const std::string& script)
    {
        MainWindow window(platform());
        return run(window, script);
    }
};

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

TEST_F(ScriptRunnerTest, FullDumpListsEveryControlThenTheSharedState)
{
    const Outcome r = run("dump\n");
    ASSERT_EQ(r.exitCode, kExitOk);
    const auto all = lines(r.out);
    ASSERT_GT(all.size(), 600u);
    EXPECT_EQ(all[0], "lblPORT.Caption=\"Printer port selection:\"");
    EXPECT_EQ(all[1], "lblPORT.Enabled=true");
    EXPECT_EQ(all[2], "lblPORT.Visible=true");
    EXPECT_EQ(all[3], "Combo1.Text=\"COM1\"");
    EXPECT_EQ(all[4], "Combo1.ListIndex=3");
    const std::vector<std::string> tail(all.end() - 9, all.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"Timer1.Enabled=false", "Timer1.Interval=3000", "PortName=\"COM1\"",
                                              "PortType=\"COM\"", "MakerString=\"**\"", "SettingsChanged=false",
                                              "TabSwitching=false", "LastTcpState=0", "ActiveControl=\"\""}));
    const auto has = [&](const std::string& line) { return std::find(all.begin(), all.end(), line) != all.end(); };
    EXPECT_TRUE(has("SSTab1.Tab=0"));
    EXPECT_TRUE(has("SSTab1.Visible=false"));
    EXPECT_TRUE(has("com_BR_115200.Value=true"));
    EXPECT_TRUE(has("optSW1ON(0).FontBold=false"));
    EXPECT_TRUE(has("txtSTATUS.ForeColor=#000000"));
    EXPECT_TRUE(has("lblSW2Function(1).Caption=\"\""));
    EXPECT_TRUE(has("comboInterChars.Text=\"0 - U.S.A.\""));
    EXPECT_TRUE(has("cmd2.Enabled=false"));
}

TEST_F(ScriptRunnerTest, PickingTcpIpSwitchesTheFrames)
{
    const Outcome r = run("pick Combo1 TCP/IP\ndump frameCOMm frameTCPIP PortType\n");
    EXPECT_EQ(r.exitCode, kExitOk);
    EXPECT_EQ(r.out,
              "frameCOMm.Caption=\"\"\nframeCOMm.Enabled=true\nframeCOMm.Visible=false\n"
              "frameTCPIP.Caption=\"\"\nframeTCPIP.Enabled=true\nframeTCPIP.Visible=true\n"
              "PortType=\"TCP\"\n");
}

TEST_F(ScriptRunnerTest, ExitEndsTheProgramAndTheRestIsNotRead)
{
    const Outcome r = run("click cmdEXIT\nno such command\n");
    EXPECT_EQ(r.exitCode, kExitOk);
    EXPECT_EQ(r.out, "ended\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(ScriptRunnerTest, CloseBoxEndsTheProgramToo)
{
    const Outcome r = run("close\ndump\n");
    EXPECT_EQ(r.exitCode, kExitOk);
    EXPECT_EQ(r.out, "ended\n");
}

TEST_F(ScriptRunnerTest, ClicksOnDisabledOrHiddenControlsAreRefused)
{
    const Outcome r = run("click cmd2\nclick cmdSTATUS\ntype tcpIP 127.0.0.1\ntab 3\ndump tcpIP SSTab1\n");
    EXPECT_EQ(r.exitCode, kExitOk);
    const auto all = lines(r.out);
    ASSERT_GE(all.size(), 5u);
    EXPECT_EQ(all[0], "refused cmd2");
    EXPECT_EQ(all[1], "refused cmdSTATUS");
    EXPECT_EQ(all[2], "refused tcpIP");
    EXPECT_EQ(all[3], "refused SSTab1");
    EXPECT_EQ(all[4].rfind("tcpIP.Text=\"", 0), 0u);
    EXPECT_NE(all[4], "tcpIP.Text=\"127.0.0.1\"");
    EXPECT_EQ(all.back(), "SSTab1.Visible=false");
}

TEST_F(ScriptRunnerTest, TypedTextTakesEscapesAndRunsNoHandler)
{
    const Outcome r = run("pick Combo1 TCP/IP\ntype tcpListenPort 91\\x30\\x30\ntype Combo1 COM\\t2\ndump tcpListenPort Combo1 PortName\n");
    EXPECT_EQ(r.exitCode, kExitOk);
    EXPECT_EQ(r.out,
              "tcpListenPort.Text=\"9100\"\ntcpListenPort.Enabled=true\ntcpListenPort.Visible=true\n"
              "tcpListenPort.ForeColor=#000000\n"
              "Combo1.Text=\"COM\\t2\"\nCombo1.ListIndex=-1\nCombo1.Enabled=true\nCombo1.Visible=true\n"
              "PortName=\"TCP/IP\"\n");
}

TEST_F(ScriptRunnerTest, ArrayNamesDumpEveryElementInIndexOrder)
{
    const Outcome r = run("dump krLabel3\n");
    EXPECT_EQ(r.out,
              "krLabel3(10).Caption=\"InstallationDate: \"\nkrLabel3(10).Enabled=true\nkrLabel3(10).Visible=true\n"
              "krLabel3(17).Caption=\"FailedPaperCut: \"\nkrLabel3(17).Enabled=true\nkrLabel3(17).Visible=true\n"
              "krLabel3(22).Caption=\"LinePrinted: \"\nkrLabel3(22).Enabled=true\nkrLabel3(22).Visible=true\n");
}

TEST_F(ScriptRunnerTest, OptionButtonsDumpValueAndBold)
{
    const Outcome r = run("click com_BR_9600\ndump com_BR_115200 com_BR_9600\n");
    EXPECT_EQ(r.out,
              "com_BR_115200.Caption=\"115200\"\ncom_BR_115200.Value=false\ncom_BR_115200.Enabled=true\n"
              "com_BR_115200.Visible=true\ncom_BR_115200.FontBold=false\n"
              "com_BR_9600.Caption=\"9600\"\ncom_BR_9600.Value=true\ncom_BR_9600.Enabled=true\n"
              "com_BR_9600.Visible=true\ncom_BR_9600.FontBold=false\n");
}

TEST_F(ScriptRunnerTest, HelpPrintsTheLaunch)
{
    const Outcome r = run("click cmdHELP\n");
    EXPECT_EQ(r.out, "launch \"NotePad.exe KR_SW_Help.txt\"\n");
}

TEST_F(ScriptRunnerTest, MessageBoxesAreAnsweredFromTheScript)
{
    // Opening COM1 with its lines down shows the busy message; OpenPort is
    // reached through the exit, whose close finds nothing, so open first.
    MainWindow window(platform());
    fakes.serial.dsr = false;
    ASSERT_TRUE(window.load());
    bool ok = true;
    window.link().OpenPort("COM1", true, ok);
    EXPECT_EQ(out.str(),
              "msgbox icon=critical buttons=OK title=\"Soft Switch Utility\" text=\"The COM1 port is busy...\\r\\n\\r\\n"
              "Please double check the printer cable status.\" -> OK\n");
}

TEST_F(ScriptRunnerTest, QueuedAnswersGoToTheNextBoxThatHasThatButton)
{
    boxes.queue(MsgAnswer::No);
    EXPECT_EQ(boxes.show("Are you sure?", MsgButtons::YesNo, MsgIcon::None, "Switch Change confirm"), MsgAnswer::No);
    EXPECT_EQ(boxes.show("again?", MsgButtons::YesNo, MsgIcon::None, "t"), MsgAnswer::Yes) << "the default";
    boxes.queue(MsgAnswer::Yes);
    EXPECT_EQ(boxes.show("note", MsgButtons::Ok, MsgIcon::Information, "t"), MsgAnswer::Ok);
    EXPECT_EQ(lines(out.str())[0],
              "msgbox icon=none buttons=YesNo title=\"Switch Change confirm\" text=\"Are you sure?\" -> No");
    EXPECT_EQ(lines(out.str())[2], "msgbox icon=information buttons=OK title=\"t\" text=\"note\" -> OK");
}

TEST_F(ScriptRunnerTest, WaitsAreHandedToTheEventLoop)
{
    const Outcome r = run("# a comment\n\nwait 250\nwait 0\n");
    EXPECT_EQ(r.exitCode, kExitOk);
    EXPECT_EQ(waits, (std::vector<int>{250, 0}));
}

struct ErrorRow {
    const char* name;
    const char* script;
    const char* err;
};

class ScriptErrors : public ScriptRunnerTest, public ::testing::WithParamInterface<ErrorRow> {};

TEST_P(ScriptErrors, StopWithExitCode2AndTheLineNumber)
{
    const Outcome r = run(GetParam().script);
    EXPECT_EQ(r.exitCode, kExitScriptError);
    EXPECT_EQ(r.err.rfind(GetParam().err, 0), 0u) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Contract, ScriptErrors,
    ::testing::Values(ErrorRow{"unknownControl", "dump\n# fine\nclick cmdNOPE\n", "line 3: unknown control cmdNOPE"},
                      ErrorRow{"unknownCommand", "press cmdEXIT\n", "line 1: unknown command press"},
                      ErrorRow{"unknownDumpName", "dump Combo1 Nothing\n", "line 1: unknown control Nothing"},
                      ErrorRow{"missingEntry", "pick Combo1 COM17\n", "line 1: Combo1 has no entry"},
                      ErrorRow{"pickOnAButton", "pick cmdEXIT x\n", "line 1: cmdEXIT is not a combo box"},
                      ErrorRow{"badEscape", "\ntype Combo1 \\q\n", "line 2: bad escape"},
                      ErrorRow{"badAnswer", "answer Maybe\n", "line 1: unknown answer"},
                      ErrorRow{"badWait", "wait soon\n", "line 1: bad wait"},
                      ErrorRow{"noSuchTab", "tab 7\n", "line 1: no tab 7"},
                      ErrorRow{"clickALabel", "click lblPORT\n", "line 1: lblPORT cannot be clicked"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(ScriptRunnerTest, LinesBeforeAnErrorHaveRun)
{
    const Outcome r = run("click cmdHELP\nbogus\nclick cmdHELP\n");
    EXPECT_EQ(r.exitCode, kExitScriptError);
    EXPECT_EQ(r.out, "launch \"NotePad.exe KR_SW_Help.txt\"\n");
}

} // namespace
} // namespace softswitch::script
