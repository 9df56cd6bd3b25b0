#pragma once
// Fakes of every platform facility: they record what the core asked for and
// answer from what the test set up. The clock records sleeps instead of sleeping.

#include "platform/platform.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace softswitch::testing {

// A device that takes only so many bytes and then nothing more (-1: all).
struct Stall {
    int takes = -1;
    int commands = 0; // commands started
    bool take(std::vector<std::uint8_t>& into, std::uint8_t byte)
    {
        if (takes >= 0 && static_cast<int>(into.size()) >= takes)
            return false;
        into.push_back(byte);
        return true;
    }
};

struct FakeSerial : SerialPort {
    int port = 1;
    SerialSettings lineSettings;
    Handshaking handshaking = Handshaking::None;
    bool open = false, refuseOpen = false, refuseClose = false, dsr = true, cts = true;
    int openCalls = 0, closeCalls = 0;
    std::vector<std::uint8_t> written;
    Stall stall;
    std::string inbox; // what the printer has sent so far
    // A printer on the line: answers the commands written since the last look at the receive buffer.
    std::function<std::string(const std::vector<std::uint8_t>& command)> printer;
    std::size_t answered = 0;

    void setCommPort(int number) override { port = number; }
    int commPort() const override { return port; }
    void setSettings(const SerialSettings& settings) override { lineSettings = settings; }
    SerialSettings settings() const override { return lineSettings; }
    void setHandshaking(Handshaking value) override { handshaking = value; }
    bool setPortOpen(bool wanted) override
    {
        ++(wanted ? openCalls : closeCalls);
        if (wanted ? refuseOpen : refuseClose)
            return false;
        open = wanted;
        return true;
    }
    bool portOpen() const override { return open; }
    bool dsrHolding() override { return dsr; }
    bool ctsHolding() override { return cts; }
    void startCommand() override { ++stall.commands; }
    bool output(std::uint8_t byte) override { return stall.take(written, byte); }
    int inBufferCount() override
    {
        if (printer && written.size() > answered)
            inbox += printer({written.begin() + static_cast<std::ptrdiff_t>(std::exchange(answered, written.size())),
                              written.end()});
        return static_cast<int>(inbox.size());
    }
    std::string input() override { return std::exchange(inbox, {}); }
};

struct FakeSocket : TcpSocket {
    std::string host;
    int port = 0, stateNumber = 0, handle = 0, connects = 0, closes = 0;
    int stateAfterConnect = 6; // a printer that answers at once: 7
    std::vector<std::uint8_t> sent;
    Stall stall;
    std::string inbox;
    bool hasError = false;
    PlatformError error;

    void setRemoteHost(const std::string& value) override { host = value; }
    void setRemotePort(int value) override { port = value; }
    int remotePort() const override { return port; }
    void connect() override { ++connects; stateNumber = stateAfterConnect; handle = 5; }
    void close() override { ++closes; stateNumber = 0; handle = 0; }
    int state() override { return stateNumber; }
    int socketHandle() override { return handle; }
    int bytesReceived() override { return static_cast<int>(inbox.size()); }
    std::string getData(int maxBytes) override
    {
        const std::string taken = inbox.substr(0, static_cast<std::size_t>(std::max(0, maxBytes)));
        inbox.erase(0, taken.size());
        return taken;
    }
    std::function<void()> onStall; // what a failed send does to the line
    void startCommand() override { ++stall.commands; }
    bool sendByte(std::uint8_t byte) override
    {
        const bool taken = stall.take(sent, byte);
        if (!taken && onStall)
            onStall();
        return taken;
    }
    bool takePendingError(PlatformError& out) override
    {
        if (hasError)
            out = error;
        return std::exchange(hasError, false);
    }
};

struct FakeParallel : ParallelPort {
    bool refuseOpen = false;
    PlatformError openError{53, "File not found", ""};
    std::vector<std::string> history; // "close", "open R", "open W"
    std::vector<std::uint8_t> written;
    Stall stall;
    std::string replies; // what a reading open finds
    std::vector<int> readCounts;

    void close() override { history.push_back("close"); }
    bool open(bool forReading, PlatformError& error) override
    {
        history.push_back(forReading ? "open R" : "open W");
        if (refuseOpen)
            error = openError;
        return !refuseOpen;
    }
    void startCommand() override { ++stall.commands; }
    bool write(std::uint8_t byte) override { return stall.take(written, byte); }
    std::string read(int count) override { readCounts.push_back(count); return std::exchange(replies, {}); }
};

struct FakeUsb : UsbLibrary {
    struct Call {
        std::string data, port;
        std::int32_t baud, arg4, length, mode, bufferLength;
        std::string buffer;
    };
    std::vector<Call> calls;
    // Answers to the read calls, in order: the buffer the library fills and its result.
    std::deque<std::pair<std::string, std::int32_t>> reads;

    std::int32_t sendx(std::string& data, const std::string& port, std::int32_t baud, std::int32_t arg4,
                       std::int32_t length, std::int32_t mode, std::int32_t bufferLength,
                       std::string& buffer) override
    {
        calls.push_back({data, port, baud, arg4, length, mode, bufferLength, buffer});
        if (mode == 0 || reads.empty())
            return 0;
        auto [filled, result] = reads.front();
        reads.pop_front();
        filled.resize(buffer.size(), '\0');
        buffer = filled;
        return result;
    }
};

struct FakeLoop : EventLoop {
    std::vector<std::chrono::milliseconds> sleeps;
    int eventBatches = 0;
    std::function<void()> onEvents; // what other events do while the core waits
    std::function<void()> onSleep;  // what the world does during a sleep

    void sleep(std::chrono::milliseconds duration) override
    {
        sleeps.push_back(duration);
        if (onSleep)
            onSleep();
    }
    void processEvents() override
    {
        ++eventBatches;
        if (onEvents)
            onEvents();
    }
};

struct FakeTimer : TimerDriver {
    bool enabled = false;
    std::chrono::milliseconds interval{0};
    void setTimer(bool on, std::chrono::milliseconds every) override { enabled = on; interval = every; }
};

struct FakeBoxes : MessageBoxes {
    struct Shown {
        std::string text;
        MsgButtons buttons;
        MsgIcon icon;
        std::string title;
    };
    std::vector<Shown> shown;
    std::deque<MsgAnswer> answers;

    MsgAnswer show(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title) override
    {
        shown.push_back({text, buttons, icon, title});
        MsgAnswer answer = buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        return answer;
    }
};

struct FakeShell : Shell {
    std::vector<std::string> launched;
    bool launchFails = false;
    int ends = 0;
    bool launch(const std::string& commandLine) override { launched.push_back(commandLine); return !launchFails; }
    void endProgram() override { ++ends; }
};

// All fakes together, handed to the core as one Platform.
struct FakePlatform {
    FakeSerial serial;
    FakeSocket socket;
    FakeParallel parallel;
    FakeUsb usb;
    FakeLoop loop;
    FakeTimer timer;
    FakeBoxes boxes;
    FakeShell shell;

    Platform platform() { return {.serial = serial, .socket = socket, .parallel = parallel, .usb = usb,
                                  .loop = loop, .timer = timer, .boxes = boxes, .shell = shell}; }
};

} // namespace softswitch::testing
