#pragma once
// The main window's behaviour without widgets: the controls, the shared
// state and every handler. A front end (the Qt window or the script driver)
// reports user actions here and shows the controls.

#include "app/form1.h"
#include "app/sharedstate.h"
#include "link/link.h"
#include "platform/platform.h"

#include <functional>
#include <string>

namespace softswitch {

inline constexpr const char* kHelpCommand = "NotePad.exe KR_SW_Help.txt";

class MainWindow {
public:
    explicit MainWindow(const Platform& platform);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    Form1& form() { return m_form; }
    SharedState& state() { return m_state; }
    Link& link() { return m_link; }

    // Front-end entry points. Each runs one user action to its end; false
    // once the program has ended.
    bool load();
    bool click(Control& control);
    bool pick(Control& combo, int listIndex);
    bool selectTab(int tab);
    bool timerTick();
    bool close();
    bool ended() const { return m_ended; }

    // Handlers.
    void Form_Load();
    void Form_Unload();
    void Combo1_Click();
    void cmdHELP_Click();
    void cmdEXIT_Click();
    void cmdCLEARlst_Click();
    void Timer1_Timer();

    void AddLog(const std::string& line);

private:
    bool run(const std::function<void()>& action);
    void message(const std::string& text, MsgIcon icon);

    Platform m_platform;
    Form1 m_form;
    SharedState m_state;
    Link m_link{m_form, m_state, m_platform};
    bool m_ended = false;
};

} // namespace softswitch
