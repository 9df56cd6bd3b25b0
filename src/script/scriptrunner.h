#pragma once
// The headless driver: runs the window model from a script of user actions
// and prints what the user would see (message boxes, launches, dumps).

#include "app/mainwindow.h"
#include "platform/platform.h"

#include <deque>
#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace softswitch::script {

inline constexpr int kExitOk = 0;
inline constexpr int kExitScriptError = 2;

// Message boxes answered from the script: each box takes the next queued
// answer when it is one of its buttons, else its default button.
class ScriptBoxes : public MessageBoxes {
public:
    explicit ScriptBoxes(std::ostream& out) : m_out(out) {}
    MsgAnswer show(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title) override;
    void queue(MsgAnswer answer) { m_answers.push_back(answer); }

private:
    std::ostream& m_out;
    std::deque<MsgAnswer> m_answers;
};

// Launches are printed, not run: the driver has no desktop.
class ScriptShell : public Shell {
public:
    explicit ScriptShell(std::ostream& out) : m_out(out) {}
    bool launch(const std::string& commandLine) override;
    void endProgram() override {}

private:
    std::ostream& m_out;
};

// Prints NAME.Property=VALUE lines for one control.
void dumpControl(const Control& control, std::ostream& out);

class ScriptRunner {
public:
    // wait lets the given time pass while events are processed.
    ScriptRunner(MainWindow& window, ScriptBoxes& boxes, std::ostream& out, std::ostream& err,
                 std::function<void(int ms)> wait);
    // Runs the script to its end or to the end of the program; returns the exit code.
    int run(std::istream& script);

private:
    bool execute(const std::string& line);
    bool fail(const std::string& why);
    Control* control(const std::string& name);
    bool refused(const Control& control);
    void dump(const std::vector<std::string>& names);
    void endedIfOver();

    MainWindow& m_window;
    ScriptBoxes& m_boxes;
    std::ostream& m_out;
    std::ostream& m_err;
    std::function<void(int)> m_wait;
    int m_lineNumber = 0;
    bool m_endPrinted = false;
};

} // namespace softswitch::script
