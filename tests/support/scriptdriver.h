#pragma once
// softswitch-script from SOFTSWITCH_BIN, run to its end with a script on its
// standard input.

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

struct DriverRun {
    int exitCode = -1; // -1: it did not exit normally
    QByteArray out;
    QByteArray err;
};

inline DriverRun runDriver(const QStringList& args, const QByteArray& script = {}, const QString& folder = {},
                           const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    constexpr int kPatienceMs = 120000;
    QProcess driver;
    driver.setProcessEnvironment(env);
    driver.setWorkingDirectory(folder);
    driver.start(env.value("SOFTSWITCH_BIN") + "/softswitch-script", args);
    driver.write(script);
    driver.closeWriteChannel();
    if (!driver.waitForFinished(kPatienceMs)) {
        driver.kill();
        ADD_FAILURE() << "the driver did not end within " << kPatienceMs << " ms; is SOFTSWITCH_BIN set?";
    }
    return {driver.exitStatus() == QProcess::NormalExit ? driver.exitCode() : -1, driver.readAllStandardOutput(),
            driver.readAllStandardError()};
}
