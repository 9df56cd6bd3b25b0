#pragma once
// The serial port on QSerialPort. Port numbers map to Linux device paths by a
// fixed table that the caller can override per port. The core only polls, so
// every query of the receive side first takes in what the device already holds,
// up to kReceiveLimitBytes.

#include "platform/platform.h"
#include "platform/qt/writelimit.h"

#include <map>
#include <memory>
#include <string>

class QSerialPort;

namespace softswitch {

class QtSerialPort : public SerialPort {
public:
    // overrides: port number -> device path, replacing the fixed table's entry.
    explicit QtSerialPort(std::map<int, std::string> overrides = {});
    ~QtSerialPort() override;
    QtSerialPort(const QtSerialPort&) = delete;
    QtSerialPort& operator=(const QtSerialPort&) = delete;

    // COM1-COM4 /dev/ttyS0-3, COM5-COM10 /dev/ttyUSB0-5, COM11-COM16
    // /dev/ttyACM0-5, unless overridden; empty for any other number.
    static std::string devicePath(int number, const std::map<int, std::string>& overrides = {});

    void setCommPort(int number) override;
    int commPort() const override;
    void setSettings(const SerialSettings& settings) override;
    SerialSettings settings() const override;
    // XON/XOFF is software flow control; DTR/DSR and none leave flow control
    // off; DTR and RTS are raised on open either way.
    void setHandshaking(Handshaking handshaking) override;
    bool setPortOpen(bool open) override;
    bool portOpen() const override;
    // A device that cannot report its modem lines (a pseudo-terminal) counts as asserted.
    bool dsrHolding() override;
    bool ctsHolding() override;
    void startCommand() override;
    // A byte the device does not take within the write limits (after XOFF, a
    // peer that stopped reading) is taken back: it never goes out later.
    bool output(std::uint8_t byte) override;
    int inBufferCount() override;
    std::string input() override;

private:
    void applyLineSettings();
    void applyHandshaking();
    bool lineAsserted(int pinoutSignal);
    void takeInPending();

    std::unique_ptr<QSerialPort> m_port;
    std::map<int, std::string> m_overrides;
    int m_commPort = 1;
    SerialSettings m_settings;
    Handshaking m_handshaking = Handshaking::None;
    CommandWriteLimit m_writeLimit;
};

} // namespace softswitch
