// The help launcher and Timer1's driver on Qt.

#include "platform/qt/qtshell.h"
#include "platform/qt/qttimerdriver.h"
#include "reallink.h"

#include <fstream>

namespace softswitch::testing {
namespace {

const std::string kHelpCommandLine = "NotePad.exe KR_SW_Help.txt";

TEST_F(InTemporaryFolder, EditorCommandLineOpensTheHelpFileOfTheWorkingFolderOnlyWhenItExists)
{
    const std::string folder = m_folder.path().toStdString();
    QtShell shell({}, "true");
    EXPECT_FALSE(shell.commandFor(kHelpCommandLine, folder).has_value());
    EXPECT_FALSE(shell.launch(kHelpCommandLine));

    std::ofstream(folder + "/KR_SW_Help.txt") << "help\n";
    const auto command = QtShell({}).commandFor(kHelpCommandLine, folder);
    ASSERT_TRUE(command.has_value());
    EXPECT_EQ(command->program, "xdg-open");
    EXPECT_EQ(command->arguments, std::vector<std::string>{folder + "/KR_SW_Help.txt"});
    // The editor's name is matched without regard to case, as Windows does.
    EXPECT_TRUE(shell.commandFor("notepad.exe KR_SW_Help.txt", folder).has_value());
    EXPECT_TRUE(shell.launch(kHelpCommandLine));
    EXPECT_FALSE(QtShell({}, folder + "/no-such-opener").launch(kHelpCommandLine));

    const auto other = shell.commandFor("viewer --page 2", folder); // other command lines start that program
    ASSERT_TRUE(other.has_value());
    EXPECT_EQ(other->program, "viewer");
    EXPECT_EQ(other->arguments, (std::vector<std::string>{"--page", "2"}));
    EXPECT_FALSE(shell.commandFor("", folder).has_value());
    EXPECT_FALSE(shell.commandFor("NotePad.exe", folder).has_value());
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
}

} // namespace
} // namespace softswitch::testing
