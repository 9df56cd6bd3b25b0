// Switch clicks, the per-model set-up of each tab and the question on leaving
// a switch tab with unwritten changes.

#include "scriptedprinter.h"

namespace softswitch::testing {
namespace {

struct SetUpRow {
    const char* name;
    const char* model;
    int tab;
    bool switch4Bit8On; // optSW4ON(7) selected before the change
    bool switch2Bit1On; // optSW2ON(0) selected before the change
    bool languageInfo;
    bool switchFrame; // the frame of the switch tab selected (tabs 1 to 4)
    // Communication Test, Self/Fonts Test, Read/Write Settings enabled.
    bool communicate, testPrints, readWrite;
};

const SetUpRow kSetUpRows[] = {
    {"InformationTab", "KR-5050", 0, true, true, true, false, true, true, false},
    {"Switch1KR5050Bit8On", "KR-5050", 1, true, false, false, true, false, true, true},
    {"Switch1KR5050Bit8Off", "KR-5050", 1, false, true, false, false, false, true, true},
    {"Switch1KR2250NeverShown", "KR-2250", 1, true, true, false, false, false, true, true},
    {"Switch1ZQBit1On", "ZQ2-PRINTER", 1, false, true, false, true, false, true, true},
    {"Switch1ZQBit1Off", "ZQ2-PRINTER", 1, true, false, false, false, false, true, true},
    {"Switch1LM47Prefix", "LM47x", 1, false, false, false, true, false, true, true},
    {"Switch1KR3100X", "KR-3100X", 1, false, false, false, true, false, true, true},
    {"Switch1NJ7Variant", "NJ7x", 1, true, true, false, false, false, true, true},
    {"Switch2AnyModel", "KR-1350E", 2, false, false, false, true, false, true, true},
    {"Switch3KR5050", "KR-5050", 3, false, false, false, true, false, true, true},
    {"Switch3KR2250", "KR-2250", 3, false, false, false, false, false, true, true},
    {"Switch3NJ7Variant", "NJ7x", 3, false, false, false, false, false, true, true},
    {"Switch4NJ7", "NJ7", 4, false, false, false, true, false, true, true},
    {"Switch4ZQ", "ZQ3-PRINTER", 4, false, false, false, false, false, true, true},
    {"LanguageTab", "KR-1350E", 5, false, false, true, false, false, true, true},
    {"LogTab", "KR-5050", 6, true, true, false, false, false, false, false},
};

TEST(TabGuard, EachTabShowsWhatTheModelAllows)
{
    for (const SetUpRow& row : kSetUpRows) {
        SCOPED_TRACE(row.name);
        ScriptedPrinter p{row.model};
        Form1& form = p.form;
        (row.switch4Bit8On ? form.optSW4ON : form.optSW4OFF)[7].setValue(true);
        (row.switch2Bit1On ? form.optSW2ON : form.optSW2OFF)[0].setValue(true);
        p.state.SettingsChanged = false;
        form.frameSW2m.Visible = true; // left from the tab before
        form.SSTab1.setTab(row.tab == 2 ? 3 : 2);
        form.SSTab1.setTab(row.tab);
        EXPECT_EQ(form.frameLanguageInfo.Visible, row.languageInfo);
        for (int sw = 1; sw <= kSwitchCount; ++sw)
            EXPECT_EQ(form.switchTab(sw).frame.Visible, sw == row.tab && row.switchFrame) << sw;
        EXPECT_EQ(form.cmdCommunicate.enabled(), row.communicate);
        EXPECT_EQ(form.cmd01.enabled(), row.testPrints);
        EXPECT_EQ(form.cmd02.enabled(), row.testPrints);
        EXPECT_EQ(form.cmd1.enabled(), row.readWrite);
        EXPECT_EQ(form.cmd2.enabled(), row.readWrite);
        EXPECT_EQ(p.sent(), "");
    }
}

TEST(TabGuard, TheLanguageTabShowsDensityAndThaiByModel)
{
    for (const auto& [model, density, thai] : {std::tuple{"KR-1350E", true, false}, std::tuple{"KR-2250", true, false},
                                               std::tuple{"KR-5050", false, true}, std::tuple{"KR-4450", false, false},
                                               std::tuple{"KR-1350EX", false, false}}) {
        ScriptedPrinter p{model};
        p.form.SSTab1.setTab(5);
        EXPECT_TRUE(p.form.frameNew8x16.Visible) << model;
        EXPECT_EQ(p.form.frameDensity.Visible, density) << model;
        EXPECT_EQ(p.form.frameTHAI.Visible, thai) << model;
    }
}

struct GuardRow {
    const char* name;
    int from;
    int to;
    bool changed;
    const char* answer; // "" when no question may come
    std::string question;
    int tabAfter;
    std::string sent;
    bool changedAfter;
};

const GuardRow kGuardRows[] = {
    {"YesRereadsSwitch1", 1, 0, true, "Yes", "Are you sure to ignore <SW1> settings?", 0, "sw1", false},
    {"YesRereadsSwitch3", 3, 5, true, "Yes", "Are you sure to ignore <SW3> settings?", 5, "sw3", false},
    {"Switch4IsCalledAdditional", 4, 6, true, "Yes", "Are you sure to ignore <Additional Switch> settings?", 6, "sw4",
     false},
    {"NoGoesBackWithoutASecondQuestion", 2, 3, true, "No", "Are you sure to ignore <SW2> settings?", 2, "", true},
    {"NothingChangedNothingAsked", 3, 4, false, "", "", 4, "", false},
    {"LanguageTabIsNotGuarded", 5, 1, true, "", "", 1, "", true},
    {"InformationTabIsNotGuarded", 0, 2, true, "", "", 2, "", true},
    {"TheTabOnScreenIsNoChange", 2, 2, true, "", "", 2, "", true},
};

TEST(TabGuard, LeavingASwitchTabWithChangesAsksFirst)
{
    for (const GuardRow& row : kGuardRows) {
        SCOPED_TRACE(row.name);
        ScriptedPrinter p;
        Form1& form = p.form;
        form.SSTab1.setTab(row.from);
        p.state.SettingsChanged = row.changed;
        p.fakes.boxes.shown.clear();
        if (*row.answer)
            p.fakes.boxes.answers.push_back(std::string(row.answer) == "Yes" ? MsgAnswer::Yes : MsgAnswer::No);
        p.window.selectTab(row.to);
        ASSERT_EQ(p.fakes.boxes.shown.size(), *row.answer ? 1u : 0u);
        if (*row.answer) {
            const auto& box = p.fakes.boxes.shown[0];
            EXPECT_EQ(box.text, row.question);
            EXPECT_EQ(box.title, "Switch Change confirm");
            EXPECT_EQ(box.buttons, MsgButtons::YesNo);
            EXPECT_EQ(box.icon, MsgIcon::None);
        }
        EXPECT_EQ(form.SSTab1.tab(), row.tabAfter);
        EXPECT_EQ(p.sent(), row.sent);
        EXPECT_EQ(p.state.SettingsChanged, row.changedAfter);
        EXPECT_FALSE(p.state.TabSwitching);
        if (row.tabAfter == row.from && row.from >= 1 && row.from <= kSwitchCount) {
            EXPECT_TRUE(form.switchTab(row.from).frame.Visible) << "the tab went back is set up again";
            EXPECT_FALSE(form.cmdCommunicate.enabled());
        }
    }
}

TEST(TabGuard, TheNewTabIsSetUpBeforeTheQuestionAndKeptAfterTheReread)
{
    ScriptedPrinter p;
    Form1& form = p.form;
    form.SSTab1.setTab(4);
    p.window.click(form.optSW4ON[7]);
    p.queue("sw4", "128"); // the printer still has bit 8 OFF
    p.window.selectTab(1);
    EXPECT_TRUE(form.frameSW1m.Visible) << "set up from the clicked bit, before the re-read";
    EXPECT_TRUE(form.optSW4OFF[7].value());
    EXPECT_EQ(p.sent(), "sw4");
}

} // namespace
} // namespace softswitch::testing
