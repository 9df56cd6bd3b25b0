#pragma once
// The TCP client socket on QTcpSocket. Connecting is asynchronous and
// progresses while the event loop runs; the core only polls the state.
// An error is left pending only when one of this object's own calls raised
// it (a send or a read), so a printer closing its side between exchanges is
// seen in the state, not in an error box.

#include "platform/platform.h"
#include "platform/qt/writelimit.h"

#include <memory>
#include <string>

class QTcpSocket;

namespace softswitch {

class QtTcpSocket : public TcpSocket {
public:
    static constexpr const char* kComponentName = "Winsock1";
    // A send while not connected, as the Winsock control numbers it.
    static constexpr int kBadStateError = 40006;

    QtTcpSocket();
    ~QtTcpSocket() override;
    QtTcpSocket(const QtTcpSocket&) = delete;
    QtTcpSocket& operator=(const QtTcpSocket&) = delete;

    // Qt's socket error (QAbstractSocket::SocketError) as a Winsock error number.
    static int errorNumber(int qtSocketError);
    // Qt's socket state (QAbstractSocket::SocketState) as the core's state number.
    static int stateNumber(int qtSocketState);

    void setRemoteHost(const std::string& host) override;
    void setRemotePort(int port) override;
    int remotePort() const override;
    void connect() override;
    void close() override;
    int state() override;
    int socketHandle() override;
    int bytesReceived() override;
    std::string getData(int maxBytes) override;
    void startCommand() override;
    // A byte the peer does not take within the write limits drops the
    // connection, so that it never goes out after the caller gave up.
    bool sendByte(std::uint8_t byte) override;
    bool takePendingError(PlatformError& error) override;

private:
    void raise(int number, const std::string& description);

    std::unique_ptr<QTcpSocket> m_socket;
    std::string m_host;
    int m_port = 0;
    bool m_inCall = false; // errors Qt reports now come from our own call
    bool m_hasError = false;
    PlatformError m_error;
    CommandWriteLimit m_writeLimit;
};

} // namespace softswitch
