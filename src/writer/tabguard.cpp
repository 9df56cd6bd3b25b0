#include "writer/tabguard.h"

#include "catalogue/modelfamilies.h"
#include "catalogue/switchcatalogue.h"
#include "writer/writer.h"

namespace softswitch {

namespace {

// Which command buttons each tab offers: Communication Test; the test
// prints; Read and Write Settings. Tab 6 and any other offer none.
struct TabButtons {
    bool communicate;
    bool testPrints;
    bool readWrite;
};

constexpr TabButtons kTabButtons[] = {
    {true, true, false},  // 0 "Printer Infomation"
    {false, true, true},  // 1 "Soft_Switch 1"
    {false, true, true},  // 2 "Soft_Switch 2"
    {false, true, true},  // 3 "Soft_Switch 3"
    {false, true, true},  // 4 "Soft_Switch 4"
    {false, true, true},  // 5 "Additional Soft_Switch"
};
constexpr TabButtons kNoButtons = {false, false, false};

} // namespace

TabGuard::TabGuard(Context& ctx, SettingsReader& reader) : m_ctx(ctx), m_reader(reader)
{
    Form1& form = m_ctx.form;
    for (int sw = 1; sw <= kSwitchCount; ++sw) {
        SwitchTab& tab = form.switchTab(sw);
        for (int i = 0; i < kSwitchBits; ++i) {
            tab.on[i].onClick = [this, sw, i] { optionClick(sw, i); };
            tab.off[i].onClick = [this, sw, i] { optionClick(sw, i); };
        }
    }
    form.SSTab1.onTabClick = [this](int previousTab) { SSTab1_Click(previousTab); };
}

void TabGuard::optionClick(int sw, int index)
{
    m_ctx.state.SettingsChanged = true;
    DescribeSwitchBit(m_ctx.form, sw, index);
}

void TabGuard::SSTab1_Click(int previousTab)
{
    Form1& form = m_ctx.form;
    for (int sw = 1; sw <= kSwitchCount; ++sw)
        form.switchTab(sw).frame.Visible = false;
    setUpTab(form.SSTab1.tab());
    guard(previousTab);
}

void TabGuard::setUpTab(int tab)
{
    Form1& form = m_ctx.form;
    const std::string model = ModelName(form);
    const bool zq = InFamily(model, Family::ZQGenericModels);

    form.frameLanguageInfo.Visible = tab == 0 || tab == kLanguageTab;
    switch (tab) {
    case 1:
        if (InFamily(model, Family::Switch1FollowsSwitch4))
            form.frameSW1m.Visible = form.optSW4ON[7].value();
        else if (zq)
            form.frameSW1m.Visible = form.optSW2ON[0].value();
        else if (InFamily(model, Family::Switch1AlwaysShown))
            form.frameSW1m.Visible = true;
        break;
    case 2:
        form.frameSW2m.Visible = true;
        break;
    case 3:
    case 4:
        form.switchTab(tab).frame.Visible = InFamily(model, Family::Switch34Shown);
        break;
    case kLanguageTab:
        form.frameNew8x16.Visible = true;
        form.frameDensity.Visible = InFamily(model, Family::LanguageTrio);
        form.frameTHAI.Visible = InFamily(model, Family::ThaiPasses);
        break;
    default:
        break;
    }

    const bool known = tab >= 0 && tab < static_cast<int>(std::size(kTabButtons));
    const TabButtons buttons = known ? kTabButtons[tab] : kNoButtons;
    form.cmdCommunicate.setEnabled(buttons.communicate);
    form.cmd01.setEnabled(buttons.testPrints);
    form.cmd02.setEnabled(buttons.testPrints);
    form.cmd1.setEnabled(buttons.readWrite);
    form.cmd2.setEnabled(buttons.readWrite);
}

void TabGuard::guard(int previousTab)
{
    SharedState& state = m_ctx.state;
    if (previousTab < 1 || previousTab > kSwitchCount || !state.SettingsChanged || state.TabSwitching)
        return;
    Form1& form = m_ctx.form;
    // Switch 4's changes are asked about as "Additional Switch", not "SW4".
    const std::string& caption = form.SSTab1.tabCaptions.at(static_cast<std::size_t>(previousTab));
    const std::string name = previousTab == 4 ? "Additional Switch" : "SW" + caption.substr(caption.size() - 1);
    if (m_ctx.dialogs.ask("Are you sure to ignore <" + name + "> settings?", "Switch Change confirm")
        == MsgAnswer::Yes) {
        m_reader.ReadSettings(previousTab);
        state.SettingsChanged = false;
        return;
    }
    state.TabSwitching = true;
    form.SSTab1.setTab(previousTab);
    state.TabSwitching = false;
}

} // namespace softswitch
