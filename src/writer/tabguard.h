#pragma once
// What keeps the tabs consistent: a click on a switch bit marks the settings
// as changed and describes the bit; every tab change shows the frames and
// buttons the model allows on the new tab; leaving a switch tab with
// unwritten changes asks whether to drop them.

#include "link/context.h"
#include "queries/settingsreader.h"

namespace softswitch {

class TabGuard {
public:
    // Binds the 64 switch option buttons and SSTab1.
    TabGuard(Context& ctx, SettingsReader& reader);

    // The click of optSWnON(index) or optSWnOFF(index).
    void optionClick(int sw, int index);
    // Runs after SSTab1 has already switched to the new tab.
    void SSTab1_Click(int previousTab);

private:
    void setUpTab(int tab);
    void guard(int previousTab);

    Context& m_ctx;
    SettingsReader& m_reader;
};

} // namespace softswitch
