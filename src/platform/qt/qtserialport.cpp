#include "platform/qt/qtserialport.h"

#include <QSerialPort>


namespace softswitch {

namespace {

// Enough rounds to take in a burst of replies, few enough to end even while
// a device keeps sending.
constexpr int kMaxReadRounds = 64;

struct DeviceRange {
    int firstPort;
    int lastPort;
    const char* prefix;
};

constexpr DeviceRange kDeviceTable[] = {
    {1, 4, "/dev/ttyS"},
    {5, 10, "/dev/ttyUSB"},
    {11, 16, "/dev/ttyACM"},
};

} // namespace

QtSerialPort::QtSerialPort(std::map<int, std::string> overrides)
    : m_port(std::make_unique<QSerialPort>()), m_overrides(std::move(overrides))
{
    // Qt stops reading the device once this much waits, also while the event loop idles.
    m_port->setReadBufferSize(static_cast<qint64>(kReceiveLimitBytes));
}

QtSerialPort::~QtSerialPort() = default;

std::string QtSerialPort::devicePath(int number, const std::map<int, std::string>& overrides)
{
    if (const auto found = overrides.find(number); found != overrides.end())
        return found->second;
    for (const DeviceRange& range : kDeviceTable)
        if (number >= range.firstPort && number <= range.lastPort)
            return range.prefix + std::to_string(number - range.firstPort);
    return {};
}

void QtSerialPort::setCommPort(int number)
{
    m_commPort = number;
}

int QtSerialPort::commPort() const
{
    return m_commPort;
}

void QtSerialPort::setSettings(const SerialSettings& settings)
{
    m_settings = settings;
    if (m_port->isOpen())
        applyLineSettings();
}

SerialSettings QtSerialPort::settings() const
{
    return m_settings;
}

void QtSerialPort::setHandshaking(Handshaking handshaking)
{
    m_handshaking = handshaking;
    if (m_port->isOpen())
        applyHandshaking();
}

void QtSerialPort::applyLineSettings()
{
    m_port->setBaudRate(bitsPerSecond(m_settings.baud));
    m_port->setParity(m_settings.parity == Parity::Even ? QSerialPort::EvenParity : QSerialPort::NoParity);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setStopBits(QSerialPort::OneStop);
}

void QtSerialPort::applyHandshaking()
{
    // Linux has no DTR/DSR flow control: the DSR line is checked once when the
    // port opens, and the printer sees our DTR raised. XON/XOFF maps directly.
    m_port->setFlowControl(m_handshaking == Handshaking::XonXoff ? QSerialPort::SoftwareControl
                                                                 : QSerialPort::NoFlowControl);
}

bool QtSerialPort::setPortOpen(bool open)
{
    if (!open) {
        if (m_port->isOpen())
            m_port->close();
        return true;
    }
    if (m_port->isOpen())
        return true;
    const std::string path = devicePath(m_commPort, m_overrides);
    if (path.empty())
        return false;
    m_port->setPortName(QString::fromStdString(path));
    if (!m_port->open(QIODevice::ReadWrite)) // absent, busy, no permission, not a terminal
        return false;
    applyLineSettings();
    applyHandshaking();
    m_port->setDataTerminalReady(true);
    m_port->setRequestToSend(true);
    // A pseudo-terminal refuses the modem lines; that is no failure of the open.
    m_port->clearError();
    return true;
}

bool QtSerialPort::portOpen() const
{
    return m_port->isOpen();
}

bool QtSerialPort::lineAsserted(int pinoutSignal)
{
    if (!m_port->isOpen())
        return false;
    m_port->clearError();
    const QSerialPort::PinoutSignals lines = m_port->pinoutSignals();
    if (m_port->error() != QSerialPort::NoError) {
        m_port->clearError();
        return true;
    }
    return lines.testFlag(static_cast<QSerialPort::PinoutSignal>(pinoutSignal));
}

bool QtSerialPort::dsrHolding()
{
    return lineAsserted(QSerialPort::DataSetReadySignal);
}

bool QtSerialPort::ctsHolding()
{
    return lineAsserted(QSerialPort::ClearToSendSignal);
}

void QtSerialPort::startCommand()
{
    m_writeLimit.start();
}

bool QtSerialPort::output(std::uint8_t byte)
{
    if (!m_port->isOpen())
        return true; // lost, as the interface says
    const char data = static_cast<char>(byte);
    m_port->write(&data, 1);
    // No event loop may run while the core waits, so push the byte out now.
    m_port->flush();
    const bool taken = m_writeLimit.drain(*m_port);
    if (!taken)
        m_port->clear(QSerialPort::Output);
    m_port->clearError();
    return taken;
}

void QtSerialPort::takeInPending()
{
    if (!m_port->isOpen())
        return;
    for (int round = 0; round < kMaxReadRounds && m_port->waitForReadyRead(0); ++round) {
    }
    m_port->clearError(); // the zero wait ends in a timeout error when nothing came
}

int QtSerialPort::inBufferCount()
{
    takeInPending();
    return m_port->isOpen() ? static_cast<int>(m_port->bytesAvailable()) : 0;
}

std::string QtSerialPort::input()
{
    takeInPending();
    if (!m_port->isOpen())
        return {};
    const QByteArray received = m_port->readAll();
    return std::string(received.constData(), static_cast<std::size_t>(received.size()));
}

} // namespace softswitch
