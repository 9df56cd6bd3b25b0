#pragma once
// The headless driver: runs the window model from a script of user actions
// and prints what the user would see (message boxes, launches, dumps).

#include "app/mainwindow.h"
#include "platform/platform.h"

#include <deque>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace softswitch::script {

inline constexpr int kExitOk = 0;
inline constexpr int kExitScriptError = 2;
inline constexpr int kExitStrictStop = 3; // --strict: a refused action or a critical message box

// Message boxes answered from the script: each box takes the next queued
// answer when it is one of its buttons, else its default button.
class ScriptBoxes : public MessageBoxes {
public:
    explicit ScriptBoxes(std::ostream& out) : m_out(out) {}
    MsgAnswer show(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title) override;
    void queue(MsgAnswer answer) { m_answers.push_back(answer); }
    // The text of the first critical box shown since the last call, if any.
    std::optional<std::string> takeCritical();

private:
    std::ostream& m_out;
    std::deque<MsgAnswer> m_answers;
    std::optional<std::string> m_critical;
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

// Prints "NAME KIND" for every control a script can name, in dump order,
// then the shared-state names a dump takes.
void listControls(const Form1& form, std::ostream& out);

class ScriptRunner {
public:
    // wait lets the given time pass while events are processed.
    // strict stops the run at the first refused action or critical message box.
    ScriptRunner(MainWindow& window, ScriptBoxes& boxes, std::ostream& out, std::ostream& err,
                 std::function<void(int ms)> wait, bool strict = false);
    // Runs the script to its end or to the end of the program; returns the exit code.
    int run(std::istream& script);

    // One script word and what it does with the rest of the line; false on a script error.
    struct Action {
        const char* word;
        bool (ScriptRunner::*run)(const std::string& rest);
    };

private:
    bool execute(const std::string& line);
    bool pick(const std::string& rest);
    bool type(const std::string& rest);
    bool click(const std::string& rest);
    bool tab(const std::string& rest);
    bool answer(const std::string& rest);
    bool wait(const std::string& rest);
    bool dump(const std::string& rest);
    bool close(const std::string& rest);
    // A control the line names and the unescaped text after it.
    bool namedText(const std::string& rest, Control*& target, std::string& text);
    bool fail(const std::string& why);
    Control* control(const std::string& name);
    bool refused(const Control& control);
    void dump(const std::vector<std::string>& names);
    void endedIfOver();
    // --strict: names what stopped the run; true when it stops.
    bool strictStop();

    static const Action kActions[];

    MainWindow& m_window;
    ScriptBoxes& m_boxes;
    std::ostream& m_out;
    std::ostream& m_err;
    std::function<void(int)> m_wait;
    bool m_strict = false;
    int m_lineNumber = 0;
    bool m_endPrinted = false;
    std::optional<std::string> m_refusal; // the control the last line refused, if any
};

} // namespace softswitch::script
