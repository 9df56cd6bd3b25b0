// The window model's own behaviour. Captions, texts and start state are in
// the golden start dump (tests/e2e/cases/window/start-state.case); the lists
// and tab captions, which a dump does not show, in form1-lists.golden.

#include "form/form1.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace softswitch {
namespace {

TEST(Form1, ListsAndTabCaptionsMatchTheGoldenFile)
{
    Form1 form;
    std::ostringstream lists;
    for (const std::string& caption : form.SSTab1.tabCaptions)
        lists << "SSTab1 \"" << caption << "\"\n";
    for (const Control* c : form.controls())
        for (const std::string& entry : c->list)
            lists << c->name() << " \"" << entry << "\"\n";
    if (std::getenv("SOFTSWITCH_UPDATE_CASES")) {
        std::ofstream(SOFTSWITCH_LISTS_GOLDEN, std::ios::binary) << lists.str();
        return;
    }
    EXPECT_EQ(lists.str(), readFile(SOFTSWITCH_LISTS_GOLDEN)) << SOFTSWITCH_LISTS_GOLDEN;
}

TEST(Form1, OptionRowsAreExclusiveAndTheSerialGroupsIndependent)
{
    Form1 form;
    for (int sw = 1; sw <= kSwitchCount; ++sw) {
        SwitchTab& tab = form.switchTab(sw);
        ASSERT_EQ(tab.on.indices(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
        for (int i = 0; i < kSwitchBits; ++i)
            tab.off[i].setValue(true);
        tab.on[3].setValue(true);
        for (int i = 0; i < kSwitchBits; ++i) {
            EXPECT_EQ(tab.on[i].value(), i == 3) << sw << "/" << i;
            EXPECT_EQ(tab.off[i].value(), i != 3) << sw << "/" << i;
        }
    }
    form.com_BR_38400.setValue(true);
    EXPECT_FALSE(form.com_BR_115200.value());
    EXPECT_TRUE(form.com_HS_HW.value());
    EXPECT_TRUE(form.com_PK_NONE.value());
    EXPECT_THROW(form.switchTab(0), std::out_of_range);
    EXPECT_THROW(form.switchTab(5), std::out_of_range);
}

TEST(Form1, SelectingAnOptionByProgramCountsAsAClick)
{
    Form1 form;
    int clicks = 0;
    form.optSW2OFF[4].onClick = [&] { ++clicks; };
    form.optSW2OFF[4].setValue(true);
    form.optSW2OFF[4].setValue(false);
    EXPECT_EQ(clicks, 1);
}

TEST(Form1, LabelCaptionEndsAtTheFirstNulAndTextBoxesKeepIt)
{
    Form1 form;
    form.lblKR_INFO[0].setCaption(std::string("KR-5050\0junk", 12));
    EXPECT_EQ(form.lblKR_INFO[0].caption(), "KR-5050");
    form.txtLOG.Text = std::string("a\0b", 3);
    EXPECT_EQ(form.txtLOG.Text.size(), 3u);
}

TEST(Form1, ReachableFollowsContainersAndTheSelectedTab)
{
    Form1 form;
    EXPECT_TRUE(form.reachable(form.cmdCommunicate));
    EXPECT_FALSE(form.reachable(form.cmd2));      // disabled
    EXPECT_FALSE(form.reachable(form.cmdSTATUS)); // its frame is hidden
    EXPECT_TRUE(form.reachable(form.com_BR_9600));
    form.frameCOMm.setEnabled(false);
    EXPECT_FALSE(form.reachable(form.com_BR_9600)); // a disabled container
    form.SSTab1.Visible = true;
    EXPECT_TRUE(form.reachable(form.lblKR_INFO[0]));
    EXPECT_FALSE(form.reachable(form.cmdCLEARlst)); // on tab 6, tab 0 shown
    form.SSTab1.setTab(6);
    EXPECT_TRUE(form.reachable(form.cmdCLEARlst));
}

} // namespace
} // namespace softswitch
