// The softswitch-script executable's arguments and exit codes. Scripts on
// standard input are what every e2e case runs.

#include "scriptdriver.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ScriptDriver, ReadsTheScriptFromAFileAndRefusesBadArgumentsWithExitCode2)
{
    QTemporaryDir dir;
    QFile script(dir.filePath("start.txt"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("dump PortName\n");
    script.close();
    const DriverRun run = runDriver({script.fileName()});
    EXPECT_EQ(std::make_pair(run.exitCode, run.out), std::make_pair(0, QByteArray("PortName=\"COM1\"\n")));
    EXPECT_EQ(runDriver({}).exitCode, 2);
    EXPECT_EQ(runDriver({"--com", "99=/dev/null", "-"}).exitCode, 2);
    EXPECT_EQ(runDriver({"/no/such/script.txt"}).exitCode, 2);
    EXPECT_EQ(runDriver({"-", "extra"}).exitCode, 2);
    EXPECT_EQ(runDriver({"--no-such-option", "-"}).exitCode, 2);
}

// No printer here: COM1 is a path that does not exist, so a Communication
// Test fails with a critical box; "Read Settings" is disabled at start.
TEST(ScriptDriver, OptionsAndStrictRuns)
{
    const QStringList noPrinter = {"--com", "1=/no/such/tty"};
    struct Row {
        const char* name;
        QStringList args;
        QByteArray script;
        int exitCode;
        const char* inOut;
        const char* inErr;
    };
    const Row rows[] = {
        {"help", {"--help"}, {}, 0, "--strict", ""},
        {"help names list-controls", {"--help"}, {}, 0, "--list-controls", ""},
        {"list-controls tabs", {"--list-controls"}, {}, 0, "\nSSTab1 tabs\n", ""},
        {"version", {"--version"}, {}, 0, "softswitch-script 1.0.0", ""},
        {"list-controls", {"--list-controls"}, {}, 0, "\noptSW4OFF(7) option\n", ""},
        {"list-controls kinds", {"--list-controls"}, {}, 0, "\nTimer1 timer\n", ""},
        {"refusal goes on", noPrinter + QStringList{"-"}, "click cmd1\ndump PortName\n", 0, "refused cmd1\nPortName=", ""},
        {"strict stops at a refusal", noPrinter + QStringList{"--strict", "-"}, "dump PortName\nclick cmd1\ndump PortName\n",
         3, "refused cmd1\n", "line 2: refused cmd1"},
        {"critical box goes on", noPrinter + QStringList{"-"}, "click cmdCommunicate\ndump PortName\n", 0,
         "PortName=", ""},
        {"strict stops at a critical box", noPrinter + QStringList{"--strict", "-"},
         "click cmdCommunicate\ndump PortName\n", 3, "icon=critical", "line 1: critical message box \"The COM1 can not OPEN"},
        {"strict, a clean script", noPrinter + QStringList{"--strict", "-"}, "click com_BR_9600\n", 0, "", ""},
        {"raw bytes escaped on stderr", {"-"}, "click cmd\x01\xff\n", 2, "", "unknown control cmd\\x01\\xFF\n"},
        {"raw bytes of a command", {"-"}, QByteArray("go\0\x1b", 4), 2, "", "unknown command go\\0\\x1B\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const DriverRun run = runDriver(row.args, row.script);
        EXPECT_EQ(run.exitCode, row.exitCode);
        EXPECT_TRUE(run.out.contains(row.inOut)) << run.out.toStdString();
        EXPECT_TRUE(run.err.contains(row.inErr)) << run.err.toStdString();
        EXPECT_EQ(run.err.isEmpty(), *row.inErr == '\0') << run.err.toStdString();
    }
}

} // namespace
