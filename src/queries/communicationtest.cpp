#include "queries/communicationtest.h"

#include "catalogue/modelfamilies.h"
#include "catalogue/switchlocks.h"

#include <functional>

namespace softswitch {

namespace {

inline constexpr const char* kPortHint = "Please check the port setting of your printer.";
inline constexpr const char* kCrLf = "\r\n";

} // namespace

CommunicationTest::CommunicationTest(Context& ctx, PrinterInfo& printer, LanguageInfo& language,
                                     SwitchReadout& switches)
    : m_ctx(ctx), m_printer(printer), m_language(language), m_switches(switches)
{
    m_ctx.form.cmdCommunicate.onClick = [this] { cmdCommunicate_Click(); };
}

void CommunicationTest::stop(const std::string& message, MsgIcon icon)
{
    m_ctx.form.cmdCommunicate.setEnabled(true);
    m_ctx.dialogs.tell(message, icon);
}

void CommunicationTest::cmdCommunicate_Click()
{
    Form1& form = m_ctx.form;
    form.cmdCommunicate.setEnabled(false);
    bool ok = true;
    m_ctx.link.OpenPort(m_ctx.state.PortName, true, ok);
    if (!ok) {
        m_ctx.dialogs.tell(std::string("Communication test error!!") + kCrLf + kPortHint, MsgIcon::Critical);
    } else if (!readPrinter()) {
        return; // an early end leaves the flags as they are
    }
    form.cmdCommunicate.setEnabled(true);
    m_ctx.state.SettingsChanged = false;
    m_ctx.state.TabSwitching = false;
}

bool CommunicationTest::readPrinter()
{
    const std::string twoBreaks = std::string(kCrLf) + kCrLf;
    if (!m_printer.getMakerInfo()) {
        stop("Please connected TARVENIC POS printer before test.", MsgIcon::Critical);
        return false;
    }
    if (!m_printer.getPrinterInfo1()) {
        stop("Read printer information1 error!!" + twoBreaks + kPortHint, MsgIcon::Critical);
        return false;
    }
    if (!m_printer.getPrinterInfo2()) {
        stop("Read printer information2 error!!" + twoBreaks + kPortHint, MsgIcon::Critical);
        return false;
    }

    // The later counters: the first that fails is told and skips the rest.
    const std::pair<const char*, std::function<bool()>> counters[] = {
        {"Read printer information3 error!!", [this] { return m_printer.getPrinterInfo3(); }},
        {"Read printer information3a error!!", [this] { return m_printer.getPrinterInfo3a(); }},
        {"Read printer information4(0) error!!", [this] { return m_printer.getPrinterInfo4(0); }},
        {"Read printer information4(1) error!!", [this] { return m_printer.getPrinterInfo4(1); }},
        {"Read printer information5(0) error!!", [this] { return m_printer.getPrinterInfo5(0); }},
        {"Read printer information5(1) error!!", [this] { return m_printer.getPrinterInfo5(1); }},
    };
    for (const auto& [message, query] : counters) {
        if (!query()) {
            stop(message + twoBreaks + kPortHint, MsgIcon::Information);
            break;
        }
    }

    if (!m_language.getLanguageInfo1()) {
        stop(std::string("Read language information1 error!!") + kCrLf + kPortHint, MsgIcon::Critical);
        return false;
    }
    m_language.getLanguageInfo2();
    m_language.getLanguageInfo3();
    m_language.getLanguageInfo4();
    m_language.SelectCodePageEntry();
    m_language.SelectInterCharsEntry();
    m_language.getLanguageInfo5();
    m_language.getLanguageInfo6();
    m_language.SelectNew8x16Entry();
    m_language.getLanguageInfo7();
    SetSwitchLocks(m_ctx.form);

    readSwitches();
    enterWorkingState();
    return true;
}

void CommunicationTest::readSwitches()
{
    Form1& form = m_ctx.form;
    // The first family that holds decides; a button tested here shows what
    // the query before it left on screen.
    if (InFamily(ModelName(form), Family::KR31Group)) {
        for (int sw = 1; sw <= kSwitchCount; ++sw)
            m_switches.getSW(sw);
    } else if (InFamily(ModelName(form), Family::KR5050Group)) {
        m_switches.getSW(2);
        m_switches.getSW(3);
        m_switches.getSW(4);
        if (form.optSW4ON[7].value())
            m_switches.getSW(1);
    } else if (InFamily(ModelName(form), Family::ZQGenericModels)) {
        m_switches.getSW(2);
        if (form.optSW2ON[0].value())
            m_switches.getSW(1);
    }
}

void CommunicationTest::enterWorkingState()
{
    Form1& form = m_ctx.form;
    form.SSTab1.Visible = true;
    form.frameLanguageInfo.Visible = true;
    form.lblPORT.setEnabled(false);
    form.Combo1.setEnabled(false);
    form.cmd01.setEnabled(true);
    form.cmd02.setEnabled(true);
    // The settings of the link in use can no longer be changed.
    const bool serial = form.frameCOMm.Visible;
    const bool tcp = form.frameTCPIP.Visible;
    for (Control* control : form.controls()) {
        const std::string& name = control->name();
        if ((serial && name.rfind("com_", 0) == 0) || (tcp && name.rfind("tcp", 0) == 0))
            control->setEnabled(false);
    }
}

} // namespace softswitch
