// The TCP link on QTcpSocket against a printer stand-in listening on
// 127.0.0.1 in the same event loop. Loopback only.

#include "reallink.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace softswitch::testing {
namespace {

const std::string kRefusedClosed = "Could not send data now, please check lan printer status... 0";

// Listens on a free loopback port and answers the first command with "_30"
// and a NUL, at once or in two parts 500 ms apart; or drops each caller.
struct LoopbackPrinter {
    enum class Behaviour { Answer, DropOnConnect, AnswerInTwoParts };
    explicit LoopbackPrinter(Behaviour behaviour)
    {
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this, behaviour] {
            while (QTcpSocket* peer = server.nextPendingConnection()) {
                ++connections;
                if (behaviour == Behaviour::DropOnConnect)
                    peer->disconnectFromHost();
                else
                    QObject::connect(peer, &QTcpSocket::readyRead, peer, [=, this] { take(peer, behaviour); });
            }
        });
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    }
    void take(QTcpSocket* peer, Behaviour behaviour)
    {
        received += peer->readAll().toStdString();
        if (received.size() < kQuery.size() || std::exchange(answered, true))
            return;
        const std::string reply("_30\0", 4);
        peer->write(reply.data(), behaviour == Behaviour::Answer ? 4 : 2);
        if (behaviour == Behaviour::AnswerInTwoParts)
            QTimer::singleShot(500, peer, [peer, reply] { peer->write(reply.data() + 2, 2); });
    }
    QTcpServer server;
    std::string received;
    bool answered = false;
    int connections = 0;
};

class QtTcp : public ::testing::Test {
protected:
    RealLink real;
    void connectTo(int port) // points the window at the stand-in and opens the link
    {
        real.choose("TCP/IP");
        real.form.tcpIP.Text = "127.0.0.1";
        real.form.tcpListenPort.Text = std::to_string(port);
        ASSERT_TRUE(real.openPort(true));
    }
    bool waitForState(int wanted) { return waitUntil([&] { return real.socket.state() == wanted; }); }
};

TEST_F(QtTcp, ConnectQueryWriteSilenceAndClose)
{
    LoopbackPrinter printer(LoopbackPrinter::Behaviour::Answer);
    connectTo(printer.server.serverPort());
    ASSERT_TRUE(waitForState(kTcpConnected));
    EXPECT_GE(real.socket.socketHandle(), 1);
    EXPECT_EQ(real.send(kQuery, "R"), std::string("30\0", 3));
    EXPECT_EQ(real.form.txtSTATUS.Text, "Connected");
    const Bytes write{29, 103, 56, 0, 255, 13};
    EXPECT_EQ(real.send(write, "W"), "");
    EXPECT_EQ(real.send(kQuery, "R"), ""); // the printer answers once

    EXPECT_TRUE(real.openPort(false));
    EXPECT_EQ(real.socket.state(), kTcpClosed);
    EXPECT_EQ(real.socket.socketHandle(), 0);
    const std::string sent = asText(kQuery) + asText(write) + asText(kQuery);
    EXPECT_TRUE(waitUntil([&] { return printer.received.size() == sent.size(); }));
    EXPECT_EQ(printer.received, sent);
    EXPECT_EQ(printer.connections, 1);
    EXPECT_TRUE(real.boxes.shown.empty());
}

TEST_F(QtTcp, ReplyInTwoPartsGivesWhatHadArrivedAtTheFirstByteAndAReopenConnectsAgain)
{
    LoopbackPrinter printer(LoopbackPrinter::Behaviour::AnswerInTwoParts);
    connectTo(printer.server.serverPort());
    ASSERT_TRUE(waitForState(kTcpConnected));
    connectTo(printer.server.serverPort());
    ASSERT_TRUE(waitForState(kTcpConnected));
    EXPECT_TRUE(waitUntil([&] { return printer.connections == 2; }));
    EXPECT_EQ(real.send(kQuery, "R"), "3");
    EXPECT_TRUE(waitUntil([&] { return real.socket.bytesReceived() == 2; })); // the rest stays in the socket
}

TEST_F(QtTcp, RefusedOrDroppedConnectionShowsDisconnectAndRefusesToSend)
{
    int freePort = 0;
    {
        LoopbackPrinter gone(LoopbackPrinter::Behaviour::Answer);
        freePort = gone.server.serverPort();
    }
    connectTo(freePort);
    ASSERT_TRUE(waitForState(kTcpClosed));
    EXPECT_EQ(real.send(kQuery, "R"), "R");
    expectOneBox(real.boxes, kRefusedClosed, MsgIcon::None);
    EXPECT_EQ(real.form.txtSTATUS.Text, "Disconnect");

    real.boxes.shown.clear();
    LoopbackPrinter printer(LoopbackPrinter::Behaviour::DropOnConnect);
    connectTo(printer.server.serverPort());
    ASSERT_TRUE(waitUntil([&] { return printer.connections == 1; }));
    ASSERT_TRUE(waitForState(kTcpClosed));
    EXPECT_EQ(real.socket.socketHandle(), 0);
    EXPECT_EQ(real.send(kQuery, "W"), "W");
    expectOneBox(real.boxes, kRefusedClosed, MsgIcon::None);
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
