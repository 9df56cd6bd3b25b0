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

TEST(TabGuard, LeavingASwitchTabWithChangesAsksFirst)
{
    for (const auto& row : tableRows(WRITER_TEST_DATA "/guard.rows")) {
        SCOPED_TRACE(row.at(0));
        const int from = std::stoi(row.at(1)), tabAfter = std::stoi(row.at(6));
        const bool asked = row.at(4) != "-";
        ScriptedPrinter p;
        Form1& form = p.form;
        form.SSTab1.setTab(from);
        p.state.SettingsChanged = row.at(3) == "yes";
        p.fakes.boxes.shown.clear();
        if (asked)
            p.fakes.boxes.answers.push_back(row[4] == "Yes" ? MsgAnswer::Yes : MsgAnswer::No);
        p.window.selectTab(std::stoi(row.at(2)));
        ASSERT_EQ(p.fakes.boxes.shown.size(), asked ? 1u : 0u);
        if (asked) {
            const auto& box = p.fakes.boxes.shown[0];
            EXPECT_EQ(box.text, row.at(5));
            EXPECT_EQ(box.title, "Switch Change confirm");
            EXPECT_EQ(box.buttons, MsgButtons::YesNo);
            EXPECT_EQ(box.icon, MsgIcon::None);
        }
        EXPECT_EQ(form.SSTab1.tab(), tabAfter);
        EXPECT_EQ(p.sent(), row.at(7));
        EXPECT_EQ(p.state.SettingsChanged, row.at(8) == "yes");
        EXPECT_FALSE(p.state.TabSwitching);
        if (tabAfter == from && from >= 1 && from <= kSwitchCount) {
            EXPECT_TRUE(form.switchTab(from).frame.Visible) << "the tab went back is set up again";
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
