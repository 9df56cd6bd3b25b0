#pragma once
// One printer driven through the window model, headless: the same
// Communication Test, queries, catalogue texts and write routines as the
// window, on the real links. Message boxes are not shown but kept, so a
// failure can be told with the target's name. A session belongs to the
// thread that made it (its sockets and timers live on that thread).

#include "app/mainwindow.h"
#include "ctl/readout.h"
#include "ctl/target.h"
#include "platform/qt/qteventloop.h"
#include "platform/qt/qtparallelport.h"
#include "platform/qt/qtserialport.h"
#include "platform/qt/qttcpsocket.h"
#include "platform/qt/qttimerdriver.h"
#include "platform/qt/qtusblibrary.h"

#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace softswitch::ctl {

// A message box the core raised, answered with its default button.
struct Box {
    std::string text;
    MsgIcon icon = MsgIcon::None;
};

class CapturedBoxes : public MessageBoxes {
public:
    MsgAnswer show(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string&) override
    {
        boxes.push_back({text, icon});
        return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    }
    std::vector<Box> boxes;
};

// The window's TCP socket, except that opening waits (up to a limit) for the
// connection to come up, as a technician waits before pressing the button:
// the exchange refuses to send on a socket that is still connecting.
class WaitingTcpSocket : public QtTcpSocket {
public:
    explicit WaitingTcpSocket(std::chrono::milliseconds limit) : m_limit(limit) {}
    void connect() override;

private:
    std::chrono::milliseconds m_limit;
};

struct SessionOptions {
    std::map<int, std::string> comPaths; // --com N=PATH
    std::string lptPath = "/dev/lp0";    // --lpt PATH
    std::chrono::milliseconds connectLimit{3000};
};

class PrinterSession {
public:
    PrinterSession(const Target& target, const SessionOptions& options);
    ~PrinterSession();
    PrinterSession(const PrinterSession&) = delete;
    PrinterSession& operator=(const PrinterSession&) = delete;

    // The window's Communication Test; false (with why) when it did not
    // reach the working state.
    bool communicationTest(std::string& why);
    // What the last test or read-back left on screen.
    Readout readout() const;

    // Discovery: opens the link and asks the maker query, then the model,
    // firmware and serial number. False when nothing of the maker answers.
    bool identify(Identity& identity);

    // Writes a switch byte with the window's switch write.
    void writeSwitch(int sw, int value);
    // Shows the language settings in the boxes of the language tab and
    // writes them with the window's language write; false (with why) when a
    // value is not one of the boxes' entries.
    bool writeLanguage(const std::map<std::string, std::string>& values, std::string& why);
    // Reads again, as Read Settings does, the switch tabs and the language tab
    // that were written, and returns what the printer now reports.
    Readout readBack(const std::vector<int>& tabs);

    // The boxes raised since the last call.
    std::vector<Box> takeBoxes();
    // The failure boxes (critical, or the link's own messages without an
    // icon) raised since the last call, joined; empty when there were none.
    std::string takeFailures();

private:
    void selectLink();
    // The names of the queries the activity log recorded; empties the log.
    std::set<std::string> harvestLog();
    Readout build(const std::set<std::string>& answered) const;

    Target m_target;
    CapturedBoxes m_boxes;
    QtSerialPort m_serial;
    WaitingTcpSocket m_socket;
    QtParallelPort m_parallel;
    QtUsbLibrary m_usb;
    QtEventLoop m_loop;
    MainWindow* m_window = nullptr;
    QtTimerDriver m_timer;
    struct NoShell : Shell {
        bool launch(const std::string&) override { return false; }
        void endProgram() override {}
    } m_shell;
    std::unique_ptr<MainWindow> m_mainWindow;
    // The value labels as the window starts: a label still showing its start
    // text was not answered.
    std::array<std::string, 8> m_startInfo;
    std::set<std::string> m_answered; // the queries whose replies were accepted
};

} // namespace softswitch::ctl
