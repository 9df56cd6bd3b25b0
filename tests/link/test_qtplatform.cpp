// The help launcher, the end of the program and Timer1 on Qt.

#include "platform/qt/qtshell.h"
#include "platform/qt/qttimerdriver.h"
#include "reallink.h"

#include <QDir>
#include <QTemporaryDir>

#include <fstream>

namespace softswitch::testing {
namespace {

const std::string kHelpCommandLine = "NotePad.exe KR_SW_Help.txt";

class QtShellTest : public InTemporaryFolder {
protected:
    std::string folder() const { return m_folder.path().toStdString(); }
};

TEST_F(QtShellTest, EditorCommandLineOpensTheHelpFileOfTheWorkingFolderOnlyWhenItExists)
{
    QtShell shell({}, "true");
    EXPECT_FALSE(shell.commandFor(kHelpCommandLine, folder()).has_value());
    EXPECT_FALSE(shell.launch(kHelpCommandLine));

    std::ofstream(m_folder.filePath("KR_SW_Help.txt").toStdString()) << "help\n";
    const auto command = QtShell({}).commandFor(kHelpCommandLine, folder());
    ASSERT_TRUE(command.has_value());
    EXPECT_EQ(command->program, "xdg-open");
    EXPECT_EQ(command->arguments, std::vector<std::string>{folder() + "/KR_SW_Help.txt"});
    // The editor's name is matched without regard to case, as Windows does.
    EXPECT_TRUE(shell.commandFor("notepad.exe KR_SW_Help.txt", folder()).has_value());
    EXPECT_TRUE(shell.launch(kHelpCommandLine));
    QtShell missingOpener({}, QDir(m_folder.path()).filePath("no-such-opener").toStdString());
    EXPECT_FALSE(missingOpener.launch(kHelpCommandLine));
}

// Started from a desktop menu the working folder is the home folder; the help
// file is then found beside the program or in its installed share folder.
TEST(QtShellHelpLookup, WorkingFolderThenBesideTheProgramThenItsShareFolder)
{
    const std::string work = "work", bin = "usr/bin", share = "usr/share/softswitch";
    const struct {
        const char* name;
        std::vector<std::string> copies; // folders holding a KR_SW_Help.txt
        std::string opened;              // empty: nothing to start
    } rows[] = {
        {"WorkingFolderComesFirst", {work, bin, share}, work},
        {"BesideTheProgramBeforeTheShareFolder", {bin, share}, bin},
        {"ShareFolderOfTheProgramNotOfTheWorkingFolder", {share}, share},
        {"NowhereNothingToStart", {}, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir root;
        const auto in = [&root](const std::string& folder) {
            return root.filePath(QString::fromStdString(folder)).toStdString();
        };
        for (const std::string& folder : {work, bin, share})
            ASSERT_TRUE(QDir().mkpath(QString::fromStdString(in(folder))));
        for (const std::string& folder : row.copies)
            std::ofstream(in(folder) + "/KR_SW_Help.txt") << "help\n";
        const auto command = QtShell({}).commandFor(kHelpCommandLine, in(work), in(bin));
        if (row.opened.empty()) {
            EXPECT_FALSE(command.has_value());
            continue;
        }
        ASSERT_TRUE(command.has_value());
        EXPECT_EQ(command->arguments, std::vector<std::string>{in(row.opened) + "/KR_SW_Help.txt"});
    }
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

TEST(QtShellEnd, EndProgramCallsTheFrontEnd)
{
    int ends = 0;
    QtShell shell([&] { ++ends; });
    shell.endProgram();
    EXPECT_EQ(ends, 1);
    QtShell({}).endProgram(); // nothing to call: no crash
}

TEST(QtTimerDriverTest, TicksWhileEnabledStopsWhenDisabledAndCarriesTimer1)
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

    // Timer1 as the window uses it: the link switches the driver on and off.
    Form1 form;
    SharedState state;
    FakePlatform fake;
    Context context(form, state, Platform{fake.serial, fake.socket, fake.parallel, fake.usb, fake.loop, timer,
                                         fake.boxes, fake.shell});
    form.Timer1.setEnabled(true);
    EXPECT_TRUE(timer.active());
    form.Timer1.setEnabled(false);
    EXPECT_FALSE(timer.active());
}

} // namespace
} // namespace softswitch::testing
