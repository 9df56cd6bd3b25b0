#pragma once
// "Read Settings": reads again what belongs to a tab, discarding the user's
// unwritten changes there.

#include "link/context.h"
#include "queries/languageinfo.h"
#include "queries/switchreadout.h"

namespace softswitch {

class SettingsReader {
public:
    // Binds cmd1.
    SettingsReader(Context& ctx, LanguageInfo& language, SwitchReadout& switches);

    void cmd1_Click();
    // Re-reads tab 1 to 4 (one switch, as the model allows) or 5 (every
    // language setting); any other tab reads nothing.
    void ReadSettings(int tab);

private:
    void readLanguage();

    Context& m_ctx;
    LanguageInfo& m_language;
    SwitchReadout& m_switches;
};

} // namespace softswitch
