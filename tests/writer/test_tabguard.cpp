// Switch clicks, the per-model set-up of each tab and the question on leaving
// a switch tab with unwritten changes.

#include "scriptedprinter.h"
#include "tempdir.h"

namespace softswitch::testing {
namespace {

TEST(TabGuard, EachTabShowsWhatTheModelAllows)
{
    for (const auto& row : tableRows(WRITER_TEST_DATA "/tabsetup.rows")) {
        SCOPED_TRACE(row.at(0));
        const auto yes = [&row](std::size_t field) {
            EXPECT_TRUE(row.at(field) == "yes" || row.at(field) == "no") << row.at(field);
            return row.at(field) == "yes";
        };
        ScriptedPrinter p{row.at(1)};
        Form1& form = p.form;
        const int tab = std::stoi(row.at(2));
        (yes(3) ? form.optSW4ON : form.optSW4OFF)[7].setValue(true);
        (yes(4) ? form.optSW2ON : form.optSW2OFF)[0].setValue(true);
        p.state.SettingsChanged = false;
        form.frameSW2m.Visible = true; // left from the tab before
        form.SSTab1.setTab(tab == 2 ? 3 : 2);
        form.SSTab1.setTab(tab);
        EXPECT_EQ(form.frameLanguageInfo.Visible, yes(5));
        for (int sw = 1; sw <= kSwitchCount; ++sw)
            EXPECT_EQ(form.switchTab(sw).frame.Visible, sw == tab && yes(6)) << sw;
        EXPECT_EQ(form.cmdCommunicate.enabled(), yes(7));
        EXPECT_EQ(form.cmd01.enabled(), yes(8));
        EXPECT_EQ(form.cmd02.enabled(), yes(8));
        EXPECT_EQ(form.cmd1.enabled(), yes(9));
        EXPECT_EQ(form.cmd2.enabled(), yes(9));
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
