// The softswitch-script executable's arguments and exit codes. Scripts on
// standard input are what every e2e case runs.

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::pair<int, QByteArray> runDriver(const QStringList& args)
{
    QProcess process;
    process.start(QProcessEnvironment::systemEnvironment().value("SOFTSWITCH_BIN") + "/softswitch-script", args);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(30000)) << "is SOFTSWITCH_BIN set?";
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput()};
}

TEST(ScriptDriver, ReadsTheScriptFromAFileAndRefusesBadArgumentsWithExitCode2)
{
    QTemporaryDir dir;
    QFile script(dir.filePath("start.txt"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("dump PortName\n");
    script.close();
    EXPECT_EQ(runDriver({script.fileName()}), std::make_pair(0, QByteArray("PortName=\"COM1\"\n")));
    EXPECT_EQ(runDriver({}).first, 2);
    EXPECT_EQ(runDriver({"--com", "99=/dev/null", "-"}).first, 2);
    EXPECT_EQ(runDriver({"/no/such/script.txt"}).first, 2);
    EXPECT_EQ(runDriver({"-", "extra"}).first, 2);
}

} // namespace
