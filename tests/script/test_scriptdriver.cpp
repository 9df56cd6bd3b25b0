// The softswitch-script executable, run as a user would run it.

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

Result runDriver(const QStringList& args, const QByteArray& input = {})
{
    const QString bin = QProcessEnvironment::systemEnvironment().value("SOFTSWITCH_BIN");
    QProcess process;
    process.start(bin + "/softswitch-script", args);
    EXPECT_TRUE(process.waitForStarted(10000)) << "is SOFTSWITCH_BIN set?";
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLatin1(process.readAllStandardOutput()), QString::fromLatin1(process.readAllStandardError())};
}

TEST(ScriptDriver, ReadsTheScriptFromStandardInput)
{
    const Result r = runDriver({"-"}, "pick Combo1 TCP/IP\ndump frameCOMm frameTCPIP\nclick cmdEXIT\ndump\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "frameCOMm.Caption=\"\"\nframeCOMm.Enabled=true\nframeCOMm.Visible=false\n"
                     "frameTCPIP.Caption=\"\"\nframeTCPIP.Enabled=true\nframeTCPIP.Visible=true\n"
                     "ended\n");
}

TEST(ScriptDriver, ReadsTheScriptFromAFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile script(dir.filePath("start.txt"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("dump Combo1 PortName\n");
    script.close();
    const Result r = runDriver({script.fileName()});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "Combo1.Text=\"COM1\"\nCombo1.ListIndex=3\nCombo1.Enabled=true\nCombo1.Visible=true\n"
                     "PortName=\"COM1\"\n");
}

TEST(ScriptDriver, AnUnknownControlExitsWith2AndNamesTheLine)
{
    const Result r = runDriver({"-"}, "dump PortName\n\nclick cmdMISSING\n");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "PortName=\"COM1\"\n");
    EXPECT_TRUE(r.err.startsWith("line 3:")) << r.err.toStdString();
}

TEST(ScriptDriver, BadArgumentsExitWith2)
{
    EXPECT_EQ(runDriver({}).exitCode, 2);
    EXPECT_EQ(runDriver({"--com", "99=/dev/null", "-"}).exitCode, 2);
    EXPECT_EQ(runDriver({"/no/such/script.txt"}).exitCode, 2);
}

} // namespace
