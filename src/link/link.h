#pragma once
// The printer link: opening and closing the chosen port, the TCP status box,
// and the exchange of one command and its reply over any of the four links.

#include "form/dialogs.h"
#include "form/form1.h"
#include "form/sharedstate.h"
#include "platform/platform.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

namespace softswitch {

// Fixed waits of the exchange: the printer answers within them or not at all.
inline constexpr std::chrono::milliseconds kSerialReplyWait{30};
inline constexpr std::chrono::milliseconds kParallelReplyWait{60};
inline constexpr std::chrono::milliseconds kUsbReadWait{70};
inline constexpr std::chrono::milliseconds kTcpAfterSend{5};
inline constexpr std::chrono::milliseconds kTcpPollSleep{1};
inline constexpr int kTcpPolls = 1000;
inline constexpr std::chrono::milliseconds kTcpAfterReply{10};
inline constexpr std::chrono::milliseconds kTcpAfterConnect{10};
inline constexpr std::chrono::milliseconds kStatusSettle{5};
inline constexpr int kParallelReadCount = 30;
inline constexpr std::size_t kUsbBufferLength = 32;

// Socket states as the status box knows them.
inline constexpr int kTcpClosed = 0;
inline constexpr int kTcpConnecting = 6;
inline constexpr int kTcpConnected = 7;

inline constexpr std::uint32_t kStatusRed = 0xFF0000;
inline constexpr std::uint32_t kStatusDarkBlue = 0x0000C0;

// The first-underscore scan of the serial, parallel and TCP links: the first
// "_" is dropped, every other character (NULs and later "_" too) is kept.
std::string firstUnderscoreScan(const std::string& received);

// The two-read scan of the USB link, from the buffers of its two reads
// (second empty when that read failed). An all-NUL first buffer gives
// nothing; one without "_" is the reply whole, NULs included, and the second
// is not used. Otherwise the reply is what follows the first "_" of the first
// buffer, then the second buffer, both without their NULs.
std::string usbTwoReadScan(const std::string& first, const std::string& second);

class Link {
public:
    // Binds its own controls: STATUS and the ticks of Timer1, whose Enabled
    // starts and stops the platform's timer.
    Link(Form1& form, SharedState& state, const Platform& platform, const Dialogs& dialogs);
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Opens (open = true) or closes the link of PortType; ok is false when a
    // serial port could not be opened or closed or its lines are down.
    void OpenPort(const std::string& portName, bool open, bool& ok);
    // Closes the parallel port file, or re-opens it for reading ("R") or writing.
    void OpenParallel(bool open, const std::string& mode);
    // Shows the socket state in txtSTATUS when it changed (cmdSTATUS, Timer1).
    void StatusRefresh();
    // Sends the command; text holds "R" on entry for a query and the reply on
    // return. False when a byte of it could not be written: nothing more of
    // it was sent, no reply was waited for and text is empty.
    bool SendCommand(std::span<const std::uint8_t> command, std::string& text);

private:
    void openSerial(const std::string& portName, bool open, bool& ok);
    void openTcp(bool open);
    void sendUsb(std::span<const std::uint8_t> command, std::string& text);
    bool sendSerial(std::span<const std::uint8_t> command, std::string& text);
    bool sendParallel(std::span<const std::uint8_t> command, std::string& text);
    bool sendTcp(std::span<const std::uint8_t> command, std::string& text);
    std::int32_t usbRead(char probe, std::string& buffer);

    Form1& m_form;
    SharedState& m_state;
    Platform m_platform;
    const Dialogs& m_dialogs;
};

} // namespace softswitch
