#pragma once
// The main window's behaviour without widgets. It composes the subsystems on
// one context and owns start-up, port selection, help, the log's Clear and
// the end of the program. A front end (the Qt window or the script driver)
// reports user actions here and shows the controls.

#include "form/form1.h"
#include "form/sharedstate.h"
#include "link/context.h"
#include "platform/platform.h"
#include "queries/queries.h"
#include "writer/tabguard.h"
#include "writer/writer.h"

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
    Context& context() { return m_context; }
    Link& link() { return m_context.link; }
    Queries& queries() { return m_queries; }
    Writer& writer() { return m_writer; }

    // Front-end entry points. Each runs one user action to its end; false
    // once the program has ended. A handler that fails is reported in a
    // message box and the window goes on.
    bool load();
    bool click(Control& control);
    bool pick(Control& combo, int listIndex);
    bool selectTab(int tab);
    bool timerTick();
    bool close();
    bool ended() const { return m_ended; }

    // Handlers of the application's own controls.
    void Form_Load();
    void Form_Unload();
    void Combo1_Click();
    void cmdHELP_Click();
    void cmdEXIT_Click();
    void cmdCLEARlst_Click();

private:
    bool run(const std::function<void()>& action);

    Form1 m_form;
    SharedState m_state;
    Context m_context;
    Queries m_queries{m_context};
    TabGuard m_tabGuard{m_context, m_queries.settingsReader};
    Writer m_writer{m_context};
    bool m_ended = false;
};

} // namespace softswitch
