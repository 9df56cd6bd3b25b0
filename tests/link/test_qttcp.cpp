// The TCP link on QTcpSocket where no printer listens on 127.0.0.1; round
// trips, split replies, silence and a dropped connection are e2e TCP cases.

#include "reallink.h"

#include <QTcpServer>

namespace softswitch::testing {
namespace {

TEST(QtTcpLink, ARefusedConnectionShowsDisconnectAndRefusesToSend)
{
    RealLink real;
    QTcpServer gone;
    ASSERT_TRUE(gone.listen(QHostAddress::LocalHost, 0));
    const int freePort = gone.serverPort();
    gone.close();
    real.choose("TCP/IP");
    real.form.tcpIP.Text = "127.0.0.1";
    real.form.tcpListenPort.Text = std::to_string(freePort);
    ASSERT_TRUE(real.openPort(true));
    ASSERT_TRUE(waitUntil([&] { return real.socket.state() == kTcpClosed; }));
    EXPECT_EQ(real.socket.socketHandle(), 0);
    EXPECT_EQ(real.send(kQuery, "R"), "R");
    expectOneBox(real.boxes, "Could not send data now, please check lan printer status... 0", MsgIcon::None);
    EXPECT_EQ(real.form.txtSTATUS.Text, "Disconnect");
}

TEST(QtTcpSocketAdapter, SendWhileNotConnectedLeavesOneBadStateError)
{
    ensureApplication();
    QtTcpSocket socket;
    PlatformError error;
    EXPECT_FALSE(socket.takePendingError(error));
    socket.sendByte(29);
    socket.sendByte(73);
    ASSERT_TRUE(socket.takePendingError(error));
    EXPECT_EQ(std::tie(error.number, error.source), std::make_tuple(QtTcpSocket::kBadStateError, "Winsock1"));
    EXPECT_FALSE(error.description.empty());
    EXPECT_FALSE(socket.takePendingError(error));
    EXPECT_EQ(socket.getData(10), "");
}

} // namespace
} // namespace softswitch::testing
