#include "app/mainwindow.h"

#include "form/programend.h"
#include "form/text.h"

#include <exception>

namespace softswitch {

MainWindow::MainWindow(const Platform& platform) : m_context(m_form, m_state, platform)
{
    m_form.Combo1.onClick = [this] { Combo1_Click(); };
    m_form.cmdHELP.onClick = [this] { cmdHELP_Click(); };
    m_form.cmdEXIT.onClick = [this] { cmdEXIT_Click(); };
    m_form.cmdCLEARlst.onClick = [this] { cmdCLEARlst_Click(); };
}

bool MainWindow::run(const std::function<void()>& action)
{
    if (m_ended)
        return false;
    try {
        action();
    } catch (const ProgramEnded&) {
        m_ended = true;
    } catch (const std::exception& failure) {
        m_context.dialogs.tell(failure.what(), MsgIcon::Critical);
    }
    return !m_ended;
}

bool MainWindow::load()
{
    return run([this] { Form_Load(); });
}

bool MainWindow::click(Control& control)
{
    return run([&control] { control.click(); });
}

bool MainWindow::pick(Control& combo, int listIndex)
{
    return run([&combo, listIndex] {
        combo.setListIndex(listIndex);
        if (combo.onClick)
            combo.onClick();
    });
}

bool MainWindow::selectTab(int tab)
{
    return run([this, tab] { m_form.SSTab1.setTab(tab); });
}

bool MainWindow::timerTick()
{
    return run([this] {
        if (m_form.Timer1.enabled() && m_form.Timer1.onTimer)
            m_form.Timer1.onTimer();
    });
}

bool MainWindow::close()
{
    run([this] { Form_Unload(); });
    m_ended = true;
    return false;
}

void MainWindow::Form_Load()
{
    m_state.PortName = m_form.Combo1.Text;
    m_state.PortType = linkKindOf(m_state.PortName);
    m_context.link.StatusRefresh();
    m_form.comboInterChars.setText(m_form.comboInterChars.list.front());
    m_state.MakerString = "**";
    for (std::size_t i = 0; i < m_state.BitMask.size(); ++i)
        m_state.BitMask[i] = static_cast<std::int16_t>(1 << i);
    m_state.SettingsChanged = false;
    m_state.TabSwitching = false;
}

void MainWindow::Combo1_Click()
{
    const std::string& chosen = m_form.Combo1.Text;
    m_state.PortName = chosen;
    m_state.PortType = linkKindOf(chosen);

    bool serial = false;
    bool tcp = false;
    if (left(chosen, 3) == "USB" || chosen == "LPT1") {
        // neither settings frame applies
    } else if (chosen == "TCP/IP") {
        tcp = true;
    } else {
        serial = true;
    }
    m_form.frameCOMm.Visible = serial;
    m_form.frameTCPIP.Visible = tcp;
}

void MainWindow::cmdHELP_Click()
{
    if (!m_context.platform.shell.launch(kHelpCommand))
        m_context.dialogs.tell("The help file KR_SW_Help.txt could not be opened.", MsgIcon::Information);
}

void MainWindow::cmdEXIT_Click()
{
    bool ok = true;
    m_context.link.OpenPort(m_state.PortName, false, ok);
    Form_Unload();
    m_context.platform.shell.endProgram();
    throw ProgramEnded{};
}

void MainWindow::Form_Unload()
{
    bool ok = true;
    m_context.link.OpenPort(m_state.PortName, false, ok);
}

void MainWindow::cmdCLEARlst_Click()
{
    m_form.txtLOG.Text.clear();
}

} // namespace softswitch
