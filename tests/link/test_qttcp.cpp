// The TCP link on QTcpSocket against a printer stand-in listening on
// 127.0.0.1 in the same event loop. Loopback only.

#include "reallink.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace softswitch::testing {
namespace {

// Listens on a free loopback port and answers each command it receives.
class LoopbackPrinter {
public:
    enum class Behaviour { Answer, Silent, DropOnConnect, AnswerInTwoParts };

    explicit LoopbackPrinter(Behaviour behaviour, std::string reply = std::string("_30\0", 4))
        : m_behaviour(behaviour), m_reply(std::move(reply))
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { accept(); });
        m_listening = m_server.listen(QHostAddress::LocalHost, 0);
    }

    bool listening() const { return m_listening; }
    int port() const { return m_server.serverPort(); }
    const std::string& received() const { return m_received; }
    int connections() const { return m_connections; }

private:
    void accept()
    {
        while (QTcpSocket* peer = m_server.nextPendingConnection()) {
            ++m_connections;
            if (m_behaviour == Behaviour::DropOnConnect) {
                peer->disconnectFromHost();
                continue;
            }
            QObject::connect(peer, &QTcpSocket::readyRead, peer, [this, peer] { take(peer); });
        }
    }

    void take(QTcpSocket* peer)
    {
        const QByteArray data = peer->readAll();
        m_received.append(data.constData(), static_cast<std::size_t>(data.size()));
        if (m_received.size() < m_commandLength || m_answered)
            return;
        m_answered = true;
        if (m_behaviour == Behaviour::Answer) {
            peer->write(m_reply.data(), static_cast<qint64>(m_reply.size()));
        } else if (m_behaviour == Behaviour::AnswerInTwoParts) {
            peer->write(m_reply.data(), 2);
            const std::string rest = m_reply.substr(2);
            QTimer::singleShot(500, peer, [peer, rest] { peer->write(rest.data(), static_cast<qint64>(rest.size())); });
        }
    }

    QTcpServer m_server;
    Behaviour m_behaviour;
    std::string m_reply;
    std::string m_received;
    std::size_t m_commandLength = kQuery.size();
    bool m_listening = false;
    bool m_answered = false;
    int m_connections = 0;
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

TEST_F(QtTcp, ConnectShowsConnectingOrConnectedThenConnected)
{
    LoopbackPrinter printer(LoopbackPrinter::Behaviour::Answer);
    ASSERT_TRUE(printer.listening());
    connectTo(printer.port());
    EXPECT_TRUE(real.form.txtSTATUS.Text == "Connecting..." || real.form.txtSTATUS.Text == "Connected")
        << real.form.txtSTATUS.Text;
    EXPECT_TRUE(real.timer.enabled);
    ASSERT_TRUE(waitForState(kTcpConnected));
    EXPECT_GE(real.socket.socketHandle(), 1);
    real.link.StatusRefresh();
    EXPECT_EQ(real.form.txtSTATUS.Text, "Connected");
    EXPECT_EQ(real.form.txtSTATUS.ForeColor, kStatusDarkBlue);
    EXPECT_TRUE(waitUntil([&] { return printer.connections() == 1; }));
}

TEST_F(QtTcp, QueryRoundTripReturnsTheReplyWithItsNul)
{
    LoopbackPrinter printer(LoopbackPrinter::Behaviour::Answer);
    connectTo(printer.port());
    ASSERT_TRUE(waitForState(kTcpConnected));
    EXPECT_EQ(real.send(kQuery, "R"), std::string("30\0", 3));
    EXPECT_EQ(printer.received(), std::string("\x1dI1"));
    EXPECT_TRUE(real.boxes.shown.empty());
}

TEST_F(QtTcp, WriteDeliversTheBytesAndReturnsEmpty)
{
    LoopbackPrinter printer(LoopbackPrinter::Behaviour::Silent);
    connectTo(printer.port());
    ASSERT_TRUE(waitForState(kTcpConnected));
    const Bytes command{29, 103, 56, 0, 255, 13};
    EXPECT_EQ(real.send(command, "W"), "");
    EXPECT_TRUE(waitUntil([&] { return printer.received().size() == command.size(); }));
    EXPECT_EQ(printer.received(), std::string(command.begin(), command.end()));
}

TEST_F(QtTcp, CloseDeliversWhatWasWrittenAndShowsDisconnect)
{
    LoopbackPrinter printer(LoopbackPrinter::Behaviour::Silent);
    connectTo(printer.port());
    ASSERT_TRUE(waitForState(kTcpConnected));
    real.send(kQuery, "W");
    EXPECT_TRUE(real.openPort(false));
    EXPECT_EQ(real.socket.state(), kTcpClosed);
    EXPECT_EQ(real.socket.socketHandle(), 0);
    EXPECT_EQ(real.form.txtSTATUS.Text, "Disconnect");
    EXPECT_FALSE(real.timer.enabled);
    EXPECT_TRUE(waitUntil([&] { return printer.received().size() == kQuery.size(); }));
}

TEST_F(QtTcp, NothingArrivingEndsAfterThePollsWithEmptyReply)
{
    LoopbackPrinter printer(LoopbackPrinter::Behaviour::Silent);
    connectTo(printer.port());
    ASSERT_TRUE(waitForState(kTcpConnected));
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_EQ(real.send(kQuery, "R"), "");
    // 1000 polls each sleep at least 1 ms: the wait cannot have been cut short.
    EXPECT_GE(elapsed.elapsed(), 1000);
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

TEST_F(QtTcp, RefusedConnectionEndsClosedAndTheQueryIsRefused)
{
    int freePort = 0;
    {
        LoopbackPrinter gone(LoopbackPrinter::Behaviour::Silent);
        freePort = gone.port();
    }
    connectTo(freePort);
    ASSERT_TRUE(waitForState(kTcpClosed));
    EXPECT_EQ(real.send(kQuery, "R"), "R");
    ASSERT_EQ(real.boxes.shown.size(), 1u);
    EXPECT_EQ(real.boxes.shown[0].text, "Could not send data now, please check lan printer status... 0");
    EXPECT_EQ(real.form.txtSTATUS.Text, "Disconnect");
}

TEST_F(QtTcp, PeerDropShowsDisconnectAndNoErrorBox)
{
    LoopbackPrinter printer(LoopbackPrinter::Behaviour::DropOnConnect);
    connectTo(printer.port());
    ASSERT_TRUE(waitForState(kTcpClosed));
    EXPECT_EQ(real.socket.socketHandle(), 0);
    real.link.StatusRefresh(); // what the next Timer1 tick does
    EXPECT_EQ(real.form.txtSTATUS.Text, "Disconnect");
    EXPECT_EQ(real.form.txtSTATUS.ForeColor, kStatusRed);
    EXPECT_EQ(real.send(kQuery, "W"), "W");
    ASSERT_EQ(real.boxes.shown.size(), 1u);
    EXPECT_EQ(real.boxes.shown[0].text, "Could not send data now, please check lan printer status... 0");
}

TEST_F(QtTcp, ReopeningClosesTheFirstConnection)
{
    LoopbackPrinter printer(LoopbackPrinter::Behaviour::Answer);
    connectTo(printer.port());
    ASSERT_TRUE(waitForState(kTcpConnected));
    connectTo(printer.port());
    ASSERT_TRUE(waitForState(kTcpConnected));
    EXPECT_TRUE(waitUntil([&] { return printer.connections() == 2; }));
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

TEST(QtTcpSocketAdapter, StateNumbersOfTheStatusBox)
{
    const std::pair<QAbstractSocket::SocketState, int> rows[] = {
        {QAbstractSocket::UnconnectedState, 0}, {QAbstractSocket::HostLookupState, 4},
        {QAbstractSocket::ConnectingState, 6},  {QAbstractSocket::ConnectedState, 7},
        {QAbstractSocket::ClosingState, 8},
    };
    for (const auto& [qtState, number] : rows)
        EXPECT_EQ(QtTcpSocket::stateNumber(qtState), number) << qtState;
}

TEST(QtTcpSocketAdapter, ErrorNumbersAsWindowsSocketsNumbersThem)
{
    const std::pair<QAbstractSocket::SocketError, int> rows[] = {
        {QAbstractSocket::ConnectionRefusedError, 10061}, {QAbstractSocket::RemoteHostClosedError, 10054},
        {QAbstractSocket::HostNotFoundError, 11001},      {QAbstractSocket::SocketTimeoutError, 10060},
        {QAbstractSocket::OperationError, 40006},         {QAbstractSocket::UnknownSocketError, 40000},
        {QAbstractSocket::ProxyAuthenticationRequiredError, 40012},
    };
    for (const auto& [qtError, number] : rows)
        EXPECT_EQ(QtTcpSocket::errorNumber(qtError), number) << qtError;
}

} // namespace
} // namespace softswitch::testing
