#include "queries/settingsreader.h"

#include "catalogue/modelfamilies.h"

namespace softswitch {

SettingsReader::SettingsReader(Context& ctx, LanguageInfo& language, SwitchReadout& switches)
    : m_ctx(ctx), m_language(language), m_switches(switches)
{
    m_ctx.form.cmd1.onClick = [this] { cmd1_Click(); };
}

void SettingsReader::cmd1_Click()
{
    Form1& form = m_ctx.form;
    form.cmd1.setEnabled(false);
    ReadSettings(form.SSTab1.tab());
    form.cmd1.setEnabled(true);
    form.setFocus(form.cmd1);
    m_ctx.state.SettingsChanged = false;
}

void SettingsReader::ReadSettings(int tab)
{
    const std::string model = ModelName(m_ctx.form);
    const bool known = InFamily(model, Family::KnownModels);
    switch (tab) {
    case 1:
        if (known || InFamily(model, Family::ZQGenericModels))
            m_switches.getSW(1);
        break;
    case 2:
        m_switches.getSW(2);
        break;
    case 3:
    case 4:
        if (known)
            m_switches.getSW(tab);
        break;
    case 5:
        readLanguage();
        break;
    default:
        break;
    }
}

void SettingsReader::readLanguage()
{
    if (!m_language.getLanguageInfo1()) {
        m_ctx.dialogs.tell("Read language information1 error!!\r\nPlease check the port setting of your printer.",
                           MsgIcon::Critical);
        return;
    }
    // Unlike the Communication Test, every query comes before the selections,
    // and the density entry is selected for every model.
    m_language.getLanguageInfo2();
    m_language.getLanguageInfo3();
    m_language.getLanguageInfo4();
    m_language.getLanguageInfo5();
    m_language.getLanguageInfo6();
    m_language.SelectCodePageEntry();
    m_language.SelectInterCharsEntry();
    m_language.SelectDensityEntry();
    m_language.SelectNew8x16Entry();
    m_language.getLanguageInfo7();
}

} // namespace softswitch
