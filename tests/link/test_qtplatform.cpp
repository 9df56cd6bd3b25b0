// The help launcher, the end of the program and Timer1 on Qt.

#include "platform/qt/qtshell.h"
#include "platform/qt/qttimerdriver.h"
#include "reallink.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <fstream>

namespace softswitch::testing {
namespace {

const std::string kHelpCommandLine = "NotePad.exe KR_SW_Help.txt";

class QtShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureApplication();
        ASSERT_TRUE(m_folder.isValid());
        m_previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_folder.path()));
    }
    void TearDown() override { QDir::setCurrent(m_previous); }

    std::string folder() const { return m_folder.path().toStdString(); }
    void writeHelpFile() { std::ofstream(m_folder.filePath("KR_SW_Help.txt").toStdString()) << "help\n"; }

    QTemporaryDir m_folder;
    QString m_previous;
};

TEST_F(QtShellTest, EditorCommandLineOpensTheHelpFileOfTheWorkingFolder)
{
    writeHelpFile();
    const QtShell shell({});
    const auto command = shell.commandFor(kHelpCommandLine, folder());
    ASSERT_TRUE(command.has_value());
    EXPECT_EQ(command->program, "xdg-open");
    EXPECT_EQ(command->arguments, std::vector<std::string>{folder() + "/KR_SW_Help.txt"});
    // The editor's name is matched without regard to case, as Windows does.
    EXPECT_TRUE(shell.commandFor("notepad.exe KR_SW_Help.txt", folder()).has_value());
}

TEST_F(QtShellTest, MissingHelpFileStartsNothing)
{
    const QtShell shell({}, "true");
    EXPECT_FALSE(shell.commandFor(kHelpCommandLine, folder()).has_value());
    QtShell launching({}, "true");
    EXPECT_FALSE(launching.launch(kHelpCommandLine));
}

TEST_F(QtShellTest, OtherCommandLinesStartThatProgram)
{
    const QtShell shell({});
    const auto command = shell.commandFor("viewer --page 2", folder());
    ASSERT_TRUE(command.has_value());
    EXPECT_EQ(command->program, "viewer");
    EXPECT_EQ(command->arguments, (std::vector<std::string>{"--page", "2"}));
    EXPECT_FALSE(shell.commandFor("", folder()).has_value());
    EXPECT_FALSE(shell.commandFor("NotePad.exe", folder()).has_value());
}

TEST_F(QtShellTest, LaunchReportsWhetherTheOpenerStarted)
{
    writeHelpFile();
    QtShell starts({}, "true");
    EXPECT_TRUE(starts.launch(kHelpCommandLine));
    QtShell missingOpener({}, (QDir(m_folder.path()).filePath("no-such-opener")).toStdString());
    EXPECT_FALSE(missingOpener.launch(kHelpCommandLine));
}

TEST(QtShellEnd, EndProgramCallsTheFrontEnd)
{
    int ends = 0;
    QtShell shell([&] { ++ends; });
    shell.endProgram();
    EXPECT_EQ(ends, 1);
    QtShell withoutFrontEnd({});
    withoutFrontEnd.endProgram(); // nothing to call: no crash
}

TEST(QtTimerDriverTest, TicksWhileEnabledAndStopsWhenDisabled)
{
    ensureApplication();
    int ticks = 0;
    QtTimerDriver timer([&] { ++ticks; });
    EXPECT_FALSE(timer.active());
    timer.setTimer(true, 10ms);
    EXPECT_TRUE(timer.active());
    EXPECT_TRUE(waitUntil([&] { return ticks >= 2; }));
    timer.setTimer(false, 10ms);
    EXPECT_FALSE(timer.active());
    const int stoppedAt = ticks;
    waitUntil([] { return false; }, 50ms);
    EXPECT_EQ(ticks, stoppedAt);
}

TEST(QtTimerDriverTest, DrivesTheStatusRefreshThroughTheCore)
{
    // Timer1 as the window uses it: OpenPort enables it with the 3000 ms interval.
    ensureApplication();
    Form1 form;
    SharedState state;
    FakePlatform fake;
    QtTimerDriver timer([] {});
    Link link(form, state, Platform{fake.serial, fake.socket, fake.parallel, fake.usb, fake.loop, timer, fake.boxes,
                                    fake.shell});
    link.setTimer1(true);
    EXPECT_TRUE(timer.active());
    link.setTimer1(false);
    EXPECT_FALSE(timer.active());
}

} // namespace
} // namespace softswitch::testing
