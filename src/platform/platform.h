#pragma once
// What the core needs from outside itself. The core declares these narrow
// interfaces; platform/qt implements them for real, the tests with fakes.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace softswitch {

// A failure reported by a platform facility: its number and description.
struct PlatformError {
    int number = 0;
    std::string description;
    std::string source; // the component that raised it ("Winsock1", ...)
};

// How long a link may take to hand over a command. A byte the device takes
// no data of for kByteWriteLimit, or that is still not taken once the
// command has run kCommandWriteLimit, is not written and the write fails:
// the caller sends nothing more of that command.
inline constexpr std::chrono::milliseconds kByteWriteLimit{2000};
inline constexpr std::chrono::milliseconds kCommandWriteLimit{4000};

// The most a link keeps of what the printer sent and nobody has read yet;
// what comes beyond is left to the device's flow control or dropped. The
// longest reply is a few dozen bytes.
inline constexpr std::size_t kReceiveLimitBytes = 64 * 1024;

// The serial line as the window offers it; data bits are always 8 and stop bits 1.
enum class BaudRate { Baud115200 = 115200, Baud38400 = 38400, Baud19200 = 19200, Baud9600 = 9600 };
enum class Parity { None, Even };
enum class Handshaking { None = 0, XonXoff = 1, DtrDsr = 2 };

struct SerialSettings {
    BaudRate baud = BaudRate::Baud9600;
    Parity parity = Parity::None;
};

inline int bitsPerSecond(BaudRate baud) { return static_cast<int>(baud); }

// The serial port component (MSComm1).
class SerialPort {
public:
    virtual ~SerialPort() = default;
    virtual void setCommPort(int number) = 0;
    virtual int commPort() const = 0;
    virtual void setSettings(const SerialSettings& settings) = 0;
    virtual SerialSettings settings() const = 0;
    virtual void setHandshaking(Handshaking handshaking) = 0;
    // Opens or closes the port; false when the port refused (busy, absent).
    virtual bool setPortOpen(bool open) = 0;
    virtual bool portOpen() const = 0;
    virtual bool dsrHolding() = 0;
    virtual bool ctsHolding() = 0;
    // The bytes of one command follow: its kCommandWriteLimit starts now.
    virtual void startCommand() = 0;
    // False when the device did not take the byte within the write limits.
    // With the port closed the byte is lost, as before any open: no failure
    // here, the open has told the user already.
    virtual bool output(std::uint8_t byte) = 0;
    virtual int inBufferCount() = 0;
    virtual std::string input() = 0; // everything received, one char per byte
};

// The TCP client socket component (Winsock1). States: 0 closed, 4 resolving,
// 6 connecting, 7 connected, 8 closing.
class TcpSocket {
public:
    virtual ~TcpSocket() = default;
    virtual void setRemoteHost(const std::string& host) = 0;
    virtual void setRemotePort(int port) = 0;
    virtual int remotePort() const = 0;
    virtual void connect() = 0;
    virtual void close() = 0;
    virtual int state() = 0;
    virtual int socketHandle() = 0; // 1 or more while in use
    virtual int bytesReceived() = 0;
    virtual std::string getData(int maxBytes) = 0;
    virtual void startCommand() = 0; // as SerialPort::startCommand
    // False when the byte was not handed over (not connected, peer not taking data).
    virtual bool sendByte(std::uint8_t byte) = 0;
    // The error left pending by the socket operations since the last call, if any.
    virtual bool takePendingError(PlatformError& error) = 0;
};

// The parallel port device "LPT1:" as one binary file handle.
class ParallelPort {
public:
    virtual ~ParallelPort() = default;
    virtual void close() = 0;
    // Opens the device for reading only or for writing only; false with the error on failure.
    virtual bool open(bool forReading, PlatformError& error) = 0;
    virtual void startCommand() = 0; // as SerialPort::startCommand
    // False when the device did not take the byte (as SerialPort::output;
    // with no file open the byte is lost, as on a closed file number).
    virtual bool write(std::uint8_t byte) = 0;
    virtual std::string read(int count) = 0;
};

// The maker's USB transport library and its one call.
class UsbLibrary {
public:
    virtual ~UsbLibrary() = default;
    // data: the command bytes (write) or the one-character probe (read), updated
    // from the library on the read calls, like buffer. Returns the library's
    // result; a library that cannot be loaded, or that wrote past the room
    // its arguments give it, answers with a non-zero result and nothing of
    // that call is read back. The call returns when the library does:
    // returning within a bounded time is the library's part of the contract.
    virtual std::int32_t sendx(std::string& data, const std::string& port, std::int32_t baud,
                               std::int32_t arg4, std::int32_t length, std::int32_t mode,
                               std::int32_t bufferLength, std::string& buffer) = 0;
};

// Time and the event loop: fixed waits, and letting the window process events.
class EventLoop {
public:
    virtual ~EventLoop() = default;
    virtual void sleep(std::chrono::milliseconds duration) = 0;
    virtual void processEvents() = 0;
};

// Drives Timer1: the core turns it on and off, the platform calls onTick.
class TimerDriver {
public:
    virtual ~TimerDriver() = default;
    virtual void setTimer(bool enabled, std::chrono::milliseconds interval) = 0;
};

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

// Modal message boxes; the call returns when the user has answered.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MsgAnswer show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                           const std::string& title) = 0;
};

// Starting external programs and ending this one.
class Shell {
public:
    virtual ~Shell() = default;
    // Starts a program without waiting; false when it could not be started.
    virtual bool launch(const std::string& commandLine) = 0;
    // Ends the program: no further events are processed afterwards.
    virtual void endProgram() = 0;
};

// Everything the core reaches outside itself, handed over as one bundle.
struct Platform {
    SerialPort& serial;
    TcpSocket& socket;
    ParallelPort& parallel;
    UsbLibrary& usb;
    EventLoop& loop;
    TimerDriver& timer;
    MessageBoxes& boxes;
    Shell& shell;
};

} // namespace softswitch
