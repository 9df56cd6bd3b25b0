// The help launcher on Qt. Timer1's driver in a running program is the e2e
// status timer test; the front ends' device-path options are used by every
// e2e case.

#include "platform/qt/qtshell.h"
#include "tempdir.h"

#include <QCoreApplication>
#include <QDir>

#include <gtest/gtest.h>

namespace softswitch {
namespace {

// Started from a desktop menu the working folder is the home folder; the help
// file is then found beside the program or in its installed share folder.
TEST(QtShellTest, TheEditorOpensTheHelpFileOfTheWorkingFolderBesideTheProgramOrInItsShareFolder)
{
    const std::string work = "work", bin = "usr/bin", share = "usr/share/softswitch";
    const std::pair<std::vector<std::string>, std::string> rows[] = {
        {{work, bin, share}, work}, {{bin, share}, bin}, {{share}, share}, {{}, ""}}; // copies, the one opened
    for (const auto& [copies, opened] : rows) {
        TempDir root;
        for (const std::string& folder : {work, bin, share})
            std::filesystem::create_directories(root.file(folder));
        for (const std::string& folder : copies)
            std::ofstream(root.file(folder + "/KR_SW_Help.txt")) << "help\n";
        // The editor's name is matched without regard to case, as Windows does.
        const auto command = QtShell({}).commandFor("notepad.EXE KR_SW_Help.txt", root.file(work), root.file(bin));
        EXPECT_EQ(command ? command->program + " " + command->arguments.at(0) : "",
                  opened.empty() ? "" : "xdg-open " + root.file(opened + "/KR_SW_Help.txt"));
    }
    const auto other = QtShell({}).commandFor("viewer --page 2", "/"); // other command lines start that program
    ASSERT_TRUE(other.has_value());
    EXPECT_EQ(other->program, "viewer");
    EXPECT_EQ(other->arguments, (std::vector<std::string>{"--page", "2"}));
    EXPECT_FALSE(QtShell({}).commandFor("", "/") || QtShell({}).commandFor("NotePad.exe", "/"));
}

TEST(QtShellTest, LaunchNeedsTheHelpFileAndAnOpener)
{
    TempDir folder;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(folder.file(""))));
    const std::string help = "NotePad.exe KR_SW_Help.txt";
    EXPECT_FALSE(QtShell({}, "true").launch(help));
    std::ofstream(folder.file("KR_SW_Help.txt")) << "help\n";
    EXPECT_TRUE(QtShell({}, "true").launch(help));
    EXPECT_FALSE(QtShell({}, folder.file("no-such-opener")).launch(help));
    QDir::setCurrent(previous);
}

} // namespace
} // namespace softswitch
