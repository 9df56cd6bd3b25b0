#include "link/link.h"

#include "form/text.h"

#include <cmath>
#include <optional>

namespace softswitch {

namespace {

// The three groups of the serial settings frame: each option button and what it stands for.
template <class Value>
struct SettingChoice {
    Control Form1::*button;
    Value value;
};

constexpr SettingChoice<BaudRate> kBaudRates[] = {
    {&Form1::com_BR_115200, BaudRate::Baud115200},
    {&Form1::com_BR_38400, BaudRate::Baud38400},
    {&Form1::com_BR_19200, BaudRate::Baud19200},
    {&Form1::com_BR_9600, BaudRate::Baud9600},
};
constexpr SettingChoice<Handshaking> kHandshakes[] = {
    {&Form1::com_HS_HW, Handshaking::DtrDsr},
    {&Form1::com_HS_SW, Handshaking::XonXoff},
};
constexpr SettingChoice<Parity> kParities[] = {
    {&Form1::com_PK_NONE, Parity::None},
    {&Form1::com_PK_EVEN, Parity::Even},
};

// The value of the group's selected button; nothing when none is selected.
template <class Value, std::size_t N>
std::optional<Value> chosen(const Form1& form, const SettingChoice<Value> (&group)[N])
{
    for (const SettingChoice<Value>& choice : group)
        if ((form.*choice.button).value())
            return choice.value;
    return std::nullopt;
}

struct StatusLook {
    int state;
    const char* text;
    std::uint32_t colour;
};

constexpr StatusLook kStatusLooks[] = {
    {kTcpClosed, "Disconnect", kStatusRed},
    {kTcpConnecting, "Connecting...", kBlack},
    {kTcpConnected, "Connected", kStatusDarkBlue},
};
constexpr StatusLook kUnknownStatus = {-1, "unknown", kBlack};

// The whole text as a port number, or false: blanks around it are allowed,
// anything else in it makes it no number.
bool wholeNumber(const std::string& text, long& number)
{
    const std::string trimmed = trimBlanks(text);
    if (trimmed.empty())
        return false;
    char* end = nullptr;
    const double value = std::strtod(trimmed.c_str(), &end);
    if (end != trimmed.c_str() + trimmed.size() || !std::isfinite(value))
        return false;
    const double rounded = std::nearbyint(value);
    if (rounded < 0 || rounded > 65535)
        return false;
    number = static_cast<long>(rounded);
    return true;
}

bool isMode(const std::string& text) { return text == "R"; }

} // namespace

std::string firstUnderscoreScan(const std::string& received)
{
    std::string reply;
    bool seen = false;
    for (char c : received) {
        if (c == '_' && !seen)
            seen = true;
        else
            reply += c;
    }
    return reply;
}

std::string usbTwoReadScan(const std::string& first, const std::string& second)
{
    std::string reply;
    if (first.find_first_not_of('\0') == std::string::npos)
        return reply;
    bool seen = false;
    for (char c : first) {
        if (c == '_' && !seen) {
            seen = true;
            reply.clear();
        } else if (!(c == '\0' && seen)) {
            reply += c;
        }
    }
    if (!seen)
        return reply;
    for (char c : second)
        if (c != '\0')
            reply += c;
    return reply;
}

Link::Link(Form1& form, SharedState& state, const Platform& platform, const Dialogs& dialogs)
    : m_form(form), m_state(state), m_platform(platform), m_dialogs(dialogs)
{
    m_form.cmdSTATUS.onClick = [this] { StatusRefresh(); };
    m_form.Timer1.onTimer = [this] { StatusRefresh(); };
    m_form.Timer1.onEnabledChanged = [this](bool enabled) {
        m_platform.timer.setTimer(enabled, std::chrono::milliseconds(m_form.Timer1.Interval));
    };
}

void Link::OpenPort(const std::string& portName, bool open, bool& ok)
{
    ok = true;
    switch (m_state.PortType) {
    case LinkKind::Serial: openSerial(portName, open, ok); break;
    case LinkKind::Parallel: OpenParallel(open, "W"); break;
    case LinkKind::Tcp: openTcp(open); break;
    case LinkKind::Usb:
    case LinkKind::None: break;
    }
}

void Link::openSerial(const std::string& portName, bool open, bool& ok)
{
    SerialPort& serial = m_platform.serial;
    if (serial.portOpen())
        serial.setPortOpen(false);

    if (serial.portOpen() != open) {
        // A port name without a usable number leaves the previous port number.
        const double number = leadingNumber(portName.size() > 3 ? std::string_view(portName).substr(3) : "");
        if (number >= 1 && number <= 255)
            serial.setCommPort(static_cast<int>(number));

        // A group without a selected button leaves what the port had.
        if (const auto handshaking = chosen(m_form, kHandshakes))
            serial.setHandshaking(*handshaking);
        const auto baud = chosen(m_form, kBaudRates);
        const auto parity = chosen(m_form, kParities);
        if (baud && parity)
            serial.setSettings({*baud, *parity});
        serial.setPortOpen(open);
    }

    const std::string port = std::to_string(serial.commPort());
    if (serial.portOpen() != open) {
        ok = false;
        m_dialogs.tell("The COM" + port + " can not " + (open ? "OPEN" : "CLOSE") + " !!\r\r"
                    + "Please check that whether <printer driver> or <other application> occupy it !",
                MsgIcon::Critical);
    } else if (open && (!serial.dsrHolding() || !serial.ctsHolding())) {
        ok = false;
        m_dialogs.tell("The COM" + port + " port is busy...\r\n\r\nPlease double check the printer cable status.",
                MsgIcon::Critical);
    }
}

void Link::openTcp(bool open)
{
    TcpSocket& socket = m_platform.socket;
    if (!open) {
        socket.close();
        m_form.Timer1.setEnabled(false);
        StatusRefresh();
        return;
    }
    if (socket.socketHandle() >= 1)
        socket.close();
    socket.setRemoteHost(m_form.tcpIP.Text);
    long port = 0;
    if (wholeNumber(m_form.tcpListenPort.Text, port))
        socket.setRemotePort(static_cast<int>(port));
    socket.connect();
    socket.getData(socket.bytesReceived()); // nothing is expected yet; anything stale goes
    m_state.LastTcpState = -1;
    StatusRefresh();
    m_platform.loop.sleep(kTcpAfterConnect);
    m_form.Timer1.setEnabled(true);
}

void Link::OpenParallel(bool open, const std::string& mode)
{
    ParallelPort& parallel = m_platform.parallel;
    parallel.close();
    if (!open)
        return;
    PlatformError error;
    if (!parallel.open(mode == "R", error))
        m_dialogs.tell("Error no " + signedNumber(error.number) + ": " + error.description, MsgIcon::None);
}

void Link::StatusRefresh()
{
    if (m_platform.socket.state() == m_state.LastTcpState)
        return;
    m_platform.loop.sleep(kStatusSettle);
    m_platform.loop.processEvents();
    m_state.LastTcpState = static_cast<std::int16_t>(m_platform.socket.state());
    StatusLook look = kUnknownStatus;
    for (const StatusLook& candidate : kStatusLooks)
        if (candidate.state == m_state.LastTcpState)
            look = candidate;
    m_form.txtSTATUS.Text = look.text;
    m_form.txtSTATUS.ForeColor = look.colour;
}

bool Link::SendCommand(std::span<const std::uint8_t> command, std::string& text)
{
    switch (m_state.PortType) {
    case LinkKind::Usb: sendUsb(command, text); break;
    case LinkKind::Serial: return sendSerial(command, text);
    case LinkKind::Parallel: return sendParallel(command, text);
    case LinkKind::Tcp: return sendTcp(command, text);
    case LinkKind::None: break;
    }
    return true;
}

std::int32_t Link::usbRead(char probe, std::string& buffer)
{
    std::string data(1, probe);
    buffer.assign(kUsbBufferLength, '\0');
    return m_platform.usb.sendx(data, "usb", 9600, 0, 1, 5, static_cast<std::int32_t>(kUsbBufferLength), buffer);
}

void Link::sendUsb(std::span<const std::uint8_t> command, std::string& text)
{
    std::string data(command.begin(), command.end());
    std::string empty;
    m_platform.usb.sendx(data, "usb", 9600, 0, static_cast<std::int32_t>(command.size()) + 1, 0, 0, empty);
    if (!isMode(text)) {
        text.clear();
        return;
    }
    EventLoop& loop = m_platform.loop;
    loop.sleep(kUsbReadWait);
    text.clear();

    std::string first;
    if (usbRead('\0', first) != 0) {
        loop.sleep(kUsbReadWait);
        return;
    }
    loop.sleep(kUsbReadWait);
    // The second read is made even when the first buffer held no "_".
    std::string second;
    if (usbRead(' ', second) != 0)
        second.clear();
    text = usbTwoReadScan(first, second);
    loop.sleep(kUsbReadWait);
}

namespace {

// A command goes out whole or not at all: the bytes after one the device
// did not take are not sent.
template <class Port, class Send>
bool sendWhole(Port& port, std::span<const std::uint8_t> command, Send send, std::string& text)
{
    port.startCommand();
    for (std::uint8_t byte : command) {
        if (!(port.*send)(byte)) {
            text.clear();
            return false;
        }
    }
    return true;
}

} // namespace

bool Link::sendSerial(std::span<const std::uint8_t> command, std::string& text)
{
    SerialPort& serial = m_platform.serial;
    if (!sendWhole(serial, command, &SerialPort::output, text))
        return false;
    if (!isMode(text)) {
        text.clear();
        return true;
    }
    text.clear();
    m_platform.loop.sleep(kSerialReplyWait);
    if (serial.inBufferCount() >= 1)
        text = firstUnderscoreScan(serial.input());
    return true;
}

bool Link::sendParallel(std::span<const std::uint8_t> command, std::string& text)
{
    if (!sendWhole(m_platform.parallel, command, &ParallelPort::write, text))
        return false;
    if (!isMode(text)) {
        text.clear();
        return true;
    }
    text.clear();
    m_platform.loop.sleep(kParallelReplyWait);
    OpenParallel(false, "W");
    OpenParallel(true, "R");
    text = firstUnderscoreScan(m_platform.parallel.read(kParallelReadCount));
    bool ok = true;
    OpenPort(m_state.PortName, true, ok);
    return true;
}

bool Link::sendTcp(std::span<const std::uint8_t> command, std::string& text)
{
    TcpSocket& socket = m_platform.socket;
    EventLoop& loop = m_platform.loop;
    // Only errors raised by this exchange's own socket calls are reported at
    // its end; anything left from the connect or an earlier write is dropped.
    PlatformError stale;
    socket.takePendingError(stale);

    StatusRefresh();
    loop.processEvents();
    if (socket.state() != kTcpConnected) {
        StatusRefresh();
        // The number is the state after that refresh let events run.
        m_dialogs.tell("Could not send data now, please check lan printer status..." + signedNumber(socket.state()),
                MsgIcon::None);
        return true; // text still holds the mode letter
    }
    if (!sendWhole(socket, command, &TcpSocket::sendByte, text)) {
        socket.takePendingError(stale); // the caller tells the user, once
        StatusRefresh();
        return false;
    }
    loop.sleep(kTcpAfterSend);
    StatusRefresh();
    loop.processEvents();
    if (!isMode(text)) {
        text.clear();
        return true;
    }
    text.clear();
    for (int poll = 0; poll < kTcpPolls; ++poll) {
        if (socket.bytesReceived() > 0)
            break;
        loop.processEvents();
        loop.sleep(kTcpPollSleep);
    }
    const std::string received = socket.getData(socket.bytesReceived());
    loop.processEvents();
    loop.sleep(kTcpAfterReply);
    text = firstUnderscoreScan(received);

    PlatformError error;
    if (socket.takePendingError(error))
        m_dialogs.tell("Error # " + signedNumber(error.number) + " was generated by " + error.source + "\r"
                           + error.description,
                       MsgIcon::None, "Error");
    return true;
}

} // namespace softswitch
