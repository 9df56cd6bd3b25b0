// Timer1 in the running program: softswitch-script opens TCP/IP against
// printer-emulator, the printer goes away while the script waits for input,
// and only the next 3000 ms tick can bring that into the status box.

#include "emulatorprocess.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

TEST(StatusTimer, ATickAfterThePrinterWentAwayShowsDisconnect)
{
    const char* bin = std::getenv("SOFTSWITCH_BIN");
    ASSERT_NE(bin, nullptr);
    EmulatorProcess printer({"--tcp", "127.0.0.1:0"});
    QProcess driver;
    driver.start(QString(bin) + "/softswitch-script", {"-"});
    ASSERT_TRUE(driver.waitForStarted());
    driver.write(("pick Combo1 TCP/IP\ntype tcpIP 127.0.0.1\ntype tcpListenPort " + std::to_string(printer.tcpPort())
                  + "\nclick cmdCommunicate\ndump txtSTATUS\n")
                     .c_str());
    QByteArray out;
    while (!out.contains("txtSTATUS.ForeColor") && driver.waitForReadyRead(static_cast<int>(kPatience.count())))
        out += driver.readAllStandardOutput();
    ASSERT_TRUE(out.contains("txtSTATUS.Text=\"Connected\"")) << out.toStdString();

    ASSERT_EQ(printer.stop(), 0); // the printer closes its end; no exchange runs after this
    driver.write("wait 5000\ndump txtSTATUS\n"); // more than one tick, with room to spare
    driver.closeWriteChannel();
    ASSERT_TRUE(driver.waitForFinished(static_cast<int>(kPatience.count())));
    out += driver.readAllStandardOutput();
    const QByteArray last = out.mid(out.lastIndexOf("txtSTATUS.Text="));
    EXPECT_TRUE(last.startsWith("txtSTATUS.Text=\"Disconnect\"\n")) << out.toStdString();
    EXPECT_TRUE(last.contains("txtSTATUS.ForeColor=#FF0000")) << out.toStdString();
}

} // namespace
