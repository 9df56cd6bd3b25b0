// The TCP link on QTcpSocket against a printer stand-in listening on
// 127.0.0.1 in the same event loop. Loopback only.

#include "reallink.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace softswitch::testing {
namespace {

const std::string kRefusedClosed = "Could not send data now, please check lan printer status... 0";

// Listens on a free loopback port and answers the first command it receives
// with "_30" and a NUL, at once or in two parts 500 ms apart; or drops each caller.
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
        listening = server.listen(QHostAddress::LocalHost, 0);
    }
    int port() const { return server.serverPort(); }

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
    bool listening = false;
    bool answered = false;
    int connections = 0;
};

class QtTcp : public ::testing::Test {
protected:
    RealLink real;

    // Points the window at the stand-in and opens the link.
    void connectTo(int port)
    {
        real.choose("TCP/IP");
        real.form.tcpIP.Text = "127.0.0.1";
        real.form.tcpListenPort.Text = std::to_string(port);
        ASSERT_TRUE(real.openPort(true));
    }

    bool waitForState(int wanted)
    {
        return waitUntil([&] { return real.socket.state() == wanted; });
    }
};

TEST_F(QtTcp, ConnectQueryWriteSilenceAndClose)
{
    LoopbackPrinter printer(LoopbackPrinter::Behaviour::Answer);
    ASSERT_TRUE(printer.listening);
    connectTo(printer.port());
    EXPECT_TRUE(real.form.txtSTATUS.Text == "Connecting..." || real.form.txtSTATUS.Text == "Connected")
        << real.form.txtSTATUS.Text;
    EXPECT_TRUE(real.timer.enabled);
    ASSERT_TRUE(waitForState(kTcpConnected));
    EXPECT_GE(real.socket.socketHandle(), 1);
    real.link.StatusRefresh();
    EXPECT_EQ(real.form.txtSTATUS.Text, "Connected");
    EXPECT_EQ(real.form.txtSTATUS.ForeColor, kStatusDarkBlue);

    EXPECT_EQ(real.send(kQuery, "R"), std::string("30\0", 3));
    const Bytes write{29, 103, 56, 0, 255, 13};
    EXPECT_EQ(real.send(write, "W"), "");
    // The printer answers once: the next query hears nothing and ends empty.
    EXPECT_EQ(real.send(kQuery, "R"), "");

    EXPECT_TRUE(real.openPort(false));
    EXPECT_EQ(real.socket.state(), kTcpClosed);
    EXPECT_EQ(real.socket.socketHandle(), 0);
    EXPECT_EQ(real.form.txtSTATUS.Text, "Disconnect");
    EXPECT_FALSE(real.timer.enabled);
    const std::string sent = asText(kQuery) + asText(write) + asText(kQuery);
    EXPECT_TRUE(waitUntil([&] { return printer.received.size() == sent.size(); }));
    EXPECT_EQ(printer.received, sent);
    EXPECT_EQ(printer.connections, 1);
    EXPECT_TRUE(real.boxes.shown.empty());
}

TEST_F(QtTcp, ReplyInTwoPartsGivesWhatHadArrivedAtTheFirstByte)
{
    LoopbackPrinter printer(LoopbackPrinter::Behaviour::AnswerInTwoParts);
    connectTo(printer.port());
    ASSERT_TRUE(waitForState(kTcpConnected));
    EXPECT_EQ(real.send(kQuery, "R"), "3");
    // The rest arrives later and is left in the socket.
    EXPECT_TRUE(waitUntil([&] { return real.socket.bytesReceived() == 2; }));
}

TEST_F(QtTcp, RefusedOrDroppedConnectionShowsDisconnectAndRefusesToSend)
{
    int freePort = 0;
    {
        LoopbackPrinter gone(LoopbackPrinter::Behaviour::Answer);
        freePort = gone.port();
    }
    connectTo(freePort);
    ASSERT_TRUE(waitForState(kTcpClosed));
    EXPECT_EQ(real.send(kQuery, "R"), "R");
    expectOneBox(real.boxes, kRefusedClosed, MsgIcon::None);
    EXPECT_EQ(real.form.txtSTATUS.Text, "Disconnect");

    real.boxes.shown.clear();
    LoopbackPrinter printer(LoopbackPrinter::Behaviour::DropOnConnect);
    connectTo(printer.port());
    ASSERT_TRUE(waitUntil([&] { return printer.connections == 1; }));
    ASSERT_TRUE(waitForState(kTcpClosed));
    EXPECT_EQ(real.socket.socketHandle(), 0);
    real.link.StatusRefresh(); // what the next Timer1 tick does
    EXPECT_EQ(real.form.txtSTATUS.Text, "Disconnect");
    EXPECT_EQ(real.form.txtSTATUS.ForeColor, kStatusRed);
    EXPECT_EQ(real.send(kQuery, "W"), "W");
    expectOneBox(real.boxes, kRefusedClosed, MsgIcon::None);
}

TEST_F(QtTcp, ReopeningClosesTheFirstConnection)
{
    LoopbackPrinter printer(LoopbackPrinter::Behaviour::Answer);
    connectTo(printer.port());
    ASSERT_TRUE(waitForState(kTcpConnected));
    connectTo(printer.port());
    ASSERT_TRUE(waitForState(kTcpConnected));
    EXPECT_TRUE(waitUntil([&] { return printer.connections == 2; }));
    EXPECT_EQ(real.send(kQuery, "R"), std::string("30\0", 3));
}

// ---- The adapter on its own -------------------------------------------------

TEST(QtTcpSocketAdapter, SendWhileNotConnectedLeavesOneBadStateError)
{
    ensureApplication();
    QtTcpSocket socket;
    PlatformError error;
    EXPECT_FALSE(socket.takePendingError(error));
    socket.sendByte(29);
    socket.sendByte(73);
    ASSERT_TRUE(socket.takePendingError(error));
    EXPECT_EQ(error.number, QtTcpSocket::kBadStateError);
    EXPECT_EQ(error.source, "Winsock1");
    EXPECT_FALSE(error.description.empty());
    EXPECT_FALSE(socket.takePendingError(error));
    EXPECT_EQ(socket.getData(10), "");
}

TEST(QtTcpSocketAdapter, StateAndErrorNumbersAsWindowsSocketsGiveThem)
{
    const std::pair<QAbstractSocket::SocketState, int> states[] = {
        {QAbstractSocket::UnconnectedState, 0}, {QAbstractSocket::HostLookupState, 4},
        {QAbstractSocket::ConnectingState, 6},  {QAbstractSocket::ConnectedState, 7},
        {QAbstractSocket::ClosingState, 8},
    };
    for (const auto& [qtState, number] : states)
        EXPECT_EQ(QtTcpSocket::stateNumber(qtState), number) << qtState;

    const std::pair<QAbstractSocket::SocketError, int> errors[] = {
        {QAbstractSocket::ConnectionRefusedError, 10061}, {QAbstractSocket::RemoteHostClosedError, 10054},
        {QAbstractSocket::HostNotFoundError, 11001},      {QAbstractSocket::SocketTimeoutError, 10060},
        {QAbstractSocket::OperationError, 40006},         {QAbstractSocket::UnknownSocketError, 40000},
        {QAbstractSocket::ProxyAuthenticationRequiredError, 40012},
    };
    for (const auto& [qtError, number] : errors)
        EXPECT_EQ(QtTcpSocket::errorNumber(qtError), number) << qtError;
}

} // namespace
} // namespace softswitch::testing
