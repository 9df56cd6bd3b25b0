#include "platform/qt/qttcpsocket.h"

#include <QTcpSocket>

namespace softswitch {

namespace {

struct ErrorNumber {
    QAbstractSocket::SocketError qtError;
    int number;
};

// Qt's errors under the numbers a technician knows from Windows sockets.
constexpr ErrorNumber kErrorNumbers[] = {
    {QAbstractSocket::ConnectionRefusedError, 10061},
    {QAbstractSocket::RemoteHostClosedError, 10054},
    {QAbstractSocket::HostNotFoundError, 11001},
    {QAbstractSocket::SocketAccessError, 10013},
    {QAbstractSocket::SocketResourceError, 10055},
    {QAbstractSocket::SocketTimeoutError, 10060},
    {QAbstractSocket::NetworkError, 10050},
    {QAbstractSocket::AddressInUseError, 10048},
    {QAbstractSocket::SocketAddressNotAvailableError, 10049},
    {QAbstractSocket::UnsupportedSocketOperationError, 10045},
    {QAbstractSocket::OperationError, QtTcpSocket::kBadStateError},
};
// Any other Qt error: this base plus Qt's own number.
constexpr int kOtherErrorBase = 40000;

struct StateNumber {
    QAbstractSocket::SocketState qtState;
    int number;
};

constexpr StateNumber kStateNumbers[] = {
    {QAbstractSocket::UnconnectedState, 0}, {QAbstractSocket::BoundState, 1},
    {QAbstractSocket::ListeningState, 2},   {QAbstractSocket::HostLookupState, 4},
    {QAbstractSocket::ConnectingState, 6},  {QAbstractSocket::ConnectedState, 7},
    {QAbstractSocket::ClosingState, 8},
};

const char* const kBadStateText = "Wrong protocol or connection state for the requested transaction or request";

} // namespace

QtTcpSocket::QtTcpSocket() : m_socket(std::make_unique<QTcpSocket>())
{
    // Qt stops reading the socket once this much waits, also while the event
    // loop idles; the peer is then held back by the window.
    m_socket->setReadBufferSize(static_cast<qint64>(kReceiveLimitBytes));
    QObject::connect(m_socket.get(), &QTcpSocket::errorOccurred, m_socket.get(),
                     [this](QAbstractSocket::SocketError qtError) {
                         if (m_inCall && !m_hasError)
                             raise(errorNumber(qtError), m_socket->errorString().toStdString());
                     });
    // Commands go out a byte at a time; do not let them wait for each other's acknowledgement.
    QObject::connect(m_socket.get(), &QTcpSocket::connected, m_socket.get(),
                     [this] { m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1); });
}

QtTcpSocket::~QtTcpSocket() = default;

int QtTcpSocket::errorNumber(int qtSocketError)
{
    for (const ErrorNumber& entry : kErrorNumbers)
        if (entry.qtError == qtSocketError)
            return entry.number;
    return kOtherErrorBase + (qtSocketError > 0 ? qtSocketError : 0);
}

int QtTcpSocket::stateNumber(int qtSocketState)
{
    for (const StateNumber& entry : kStateNumbers)
        if (entry.qtState == qtSocketState)
            return entry.number;
    return 0;
}

void QtTcpSocket::raise(int number, const std::string& description)
{
    m_hasError = true;
    m_error = {number, description, kComponentName};
}

void QtTcpSocket::setRemoteHost(const std::string& host)
{
    m_host = host;
}

void QtTcpSocket::setRemotePort(int port)
{
    m_port = port;
}

int QtTcpSocket::remotePort() const
{
    return m_port;
}

void QtTcpSocket::connect()
{
    m_socket->abort();
    m_socket->connectToHost(QString::fromStdString(m_host), static_cast<quint16>(m_port));
}

void QtTcpSocket::close()
{
    // What was sent is already in the system's hands; close at once.
    m_socket->flush();
    m_socket->abort();
}

int QtTcpSocket::state()
{
    return stateNumber(m_socket->state());
}

int QtTcpSocket::socketHandle()
{
    const qintptr descriptor = m_socket->socketDescriptor();
    if (descriptor >= 1)
        return static_cast<int>(descriptor);
    // Resolving a name holds no descriptor yet, but the socket is in use.
    return m_socket->state() == QAbstractSocket::UnconnectedState ? 0 : 1;
}

int QtTcpSocket::bytesReceived()
{
    return m_socket->isOpen() ? static_cast<int>(m_socket->bytesAvailable()) : 0;
}

std::string QtTcpSocket::getData(int maxBytes)
{
    if (maxBytes <= 0 || !m_socket->isOpen())
        return {};
    m_inCall = true;
    const QByteArray received = m_socket->read(maxBytes);
    m_inCall = false;
    return std::string(received.constData(), static_cast<std::size_t>(received.size()));
}

void QtTcpSocket::startCommand()
{
    m_writeLimit.start();
}

bool QtTcpSocket::sendByte(std::uint8_t byte)
{
    if (m_socket->state() != QAbstractSocket::ConnectedState) {
        if (!m_hasError)
            raise(kBadStateError, kBadStateText);
        return false;
    }
    const char data = static_cast<char>(byte);
    m_inCall = true;
    const qint64 written = m_socket->write(&data, 1);
    m_socket->flush(); // the core polls; no event loop may be there to send it later
    const bool taken = written == 1 && m_writeLimit.drain(*m_socket);
    m_inCall = false;
    if (written != 1 && !m_hasError)
        raise(errorNumber(m_socket->error()), m_socket->errorString().toStdString());
    // A peer whose window stays full: Qt would still send the byte once it
    // reads again, after the caller has given the command up. Drop the line.
    if (!taken && m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->abort();
    return taken;
}

bool QtTcpSocket::takePendingError(PlatformError& error)
{
    if (!m_hasError)
        return false;
    error = m_error;
    m_hasError = false;
    return true;
}

} // namespace softswitch
