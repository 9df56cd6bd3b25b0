#include "form/form1.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace softswitch {
namespace {

struct CaptionRow {
    const char* control;
    const char* caption;
};

// Texts the technician reads on the window, exactly (blanks included).
const CaptionRow kCaptions[] = {
    {"lblPORT", "Printer port selection:"},
    {"frameCOM(0)", "BaudRate"},
    {"frameCOM(1)", "Handshaking"},
    {"frameCOM(2)", "ParityCheck"},
    {"com_BR_115200", "115200"},
    {"com_BR_9600", "9600"},
    {"com_HS_HW", "DTR/DSR"},
    {"com_HS_SW", "XON/XOFF"},
    {"com_PK_EVEN", "EVEN"},
    {"com_PK_NONE", "NONE"},
    {"tcpLBL1", "IP Address: "},
    {"tcpLBL2", "Listen Port: "},
    {"cmdSTATUS", "STATUS"},
    {"cmdCommunicate", "Communication Test"},
    {"cmd1", "Read Settings"},
    {"cmd2", "Write Settings"},
    {"cmd01", "Self Test"},
    {"cmd02", "Fonts Test"},
    {"cmdHELP", "HELP"},
    {"cmdEXIT", "EXIT"},
    {"framePrinterInfo", " Printer Information"},
    {"lblINFO(0)", "Model Name: "},
    {"lblINFO(1)", "Firmware Revision: "},
    {"krLabel3(10)", "InstallationDate: "},
    {"krLabel3(22)", "LinePrinted: "},
    {"krLabel3(17)", "FailedPaperCut: "},
    {"lblKR_INFO(0)", " "},
    {"lblKR_INFO(7)", " "},
    {"frameLanguageInfo", "Language Information"},
    {"lblINFO(15)", "Font ROM:  "},
    {"lblINFO(14)", "International Character Set: "},
    {"lblINFO(5)", "Thai 1Pass/3Pass: "},
    {"lblSW1", "SW1"},
    {"Label1", "SW4"},
    {"optSW1ON(0)", "1: ON"},
    {"optSW3OFF(7)", "8: OFF"},
    {"lblSW1Function(0)", "="},
    {"lblSW1Function(1)", ""},
    {"lblSW2Function(0)", "1"},
    {"lblSW2Function(1)", ""},
    {"lblSW3Function(0)", " ="},
    {"lblSW3Function(2)", " = "},
    {"lblSW4Function(1)", " ="},
    {"lblSW2Function(7)", " = "},
    {"frameChangeCP", "Change default language"},
    {"frameNew8x16", "New 8x16 Font"},
    {"frameTHAI", "Thai Font Pass"},
    {"cmdCLEARlst", "Clear"},
};

TEST(Form1, CaptionsReadAsOnTheWindow)
{
    Form1 form;
    for (const CaptionRow& row : kCaptions) {
        const Control* control = form.find(row.control);
        ASSERT_NE(control, nullptr) << row.control;
        EXPECT_EQ(control->caption(), row.caption) << row.control;
    }
}

TEST(Form1, FixedTextBoxesOfTheLanguageTab)
{
    Form1 form;
    EXPECT_EQ(form.Text4.Text, "Select Code Page: ");
    EXPECT_EQ(form.Text7.Text, "International Character Set: ");
    EXPECT_EQ(form.Text2.Text, "Select print density : ");
    EXPECT_EQ(form.Text3.Text, "Select New 8x16 font : ");
    EXPECT_EQ(form.Text5.Text, "Thai 1Pass or 3Pass: ");
}

TEST(Form1, ListsInOrderWithTheirBlanks)
{
    Form1 form;
    ASSERT_EQ(form.Combo1.list.size(), 19u);
    EXPECT_EQ(form.Combo1.list[0], "TCP/IP");
    EXPECT_EQ(form.Combo1.list[2], "USB");
    EXPECT_EQ(form.Combo1.list[3], "COM1");
    EXPECT_EQ(form.Combo1.list[18], "COM16");
    ASSERT_EQ(form.comboCodePage.list.size(), 25u);
    ASSERT_EQ(form.comboCodePageName.list.size(), 25u);
    EXPECT_EQ(form.comboCodePage.list[0], "0  - 437 Standard");
    EXPECT_EQ(form.comboCodePage.list[22], "224- KAZAKHSTAN");
    EXPECT_EQ(form.comboCodePageName.list[8], "19 - Multilingual(Euro)");
    ASSERT_EQ(form.comboInterChars.list.size(), 15u);
    EXPECT_EQ(form.comboInterChars.list[14], "15- Ex-Yugoslavia");
    EXPECT_EQ(form.comboNew8x16.list, (std::vector<std::string>{"OFF", " ON"}));
    EXPECT_EQ(form.comboTHAI.list, (std::vector<std::string>{"255 - Thai 1 Pass", "249 - Thai 3 Pass"}));
    EXPECT_EQ(form.comboDensity.list, (std::vector<std::string>{"0 - Normal", "1 - Light", "2 - Dark"}));
    EXPECT_EQ(form.SSTab1.tabCaptions,
              (std::vector<std::string>{"Printer Infomation", "Soft_Switch 1", "Soft_Switch 2", "Soft_Switch 3",
                                        "Soft_Switch 4", "Additional Soft_Switch", "Log History"}));
}

TEST(Form1, CodePageListsNameTheSameNumberAtEveryPosition)
{
    Form1 form;
    for (std::size_t k = 0; k < form.comboCodePage.list.size(); ++k)
        EXPECT_EQ(form.comboCodePage.list[k].substr(0, 3), form.comboCodePageName.list[k].substr(0, 3)) << k;
}

TEST(Form1, StartState)
{
    Form1 form;
    EXPECT_EQ(form.Combo1.Text, "COM1");
    EXPECT_TRUE(form.frameCOMm.Visible);
    EXPECT_FALSE(form.frameTCPIP.Visible);
    EXPECT_FALSE(form.SSTab1.Visible);
    EXPECT_FALSE(form.frameLanguageInfo.Visible);
    for (int sw = 1; sw <= 4; ++sw)
        EXPECT_FALSE(form.switchTab(sw).frame.Visible) << sw;
    EXPECT_TRUE(form.framePrinterInfo.Visible);
    EXPECT_TRUE(form.frameDensity.Visible);
    EXPECT_TRUE(form.frameTHAI.Visible);
    for (const Control* c : {&form.cmdCommunicate, &form.cmdHELP, &form.cmdEXIT})
        EXPECT_TRUE(c->enabled()) << c->name();
    for (const Control* c : {&form.cmd1, &form.cmd2, &form.cmd01, &form.cmd02})
        EXPECT_FALSE(c->enabled()) << c->name();
    EXPECT_TRUE(form.com_BR_115200.value());
    EXPECT_TRUE(form.com_HS_HW.value());
    EXPECT_TRUE(form.com_PK_NONE.value());
    EXPECT_EQ(form.tcpListenPort.Text, "9100");
    EXPECT_EQ(form.txtSTATUS.Text, "");
    EXPECT_EQ(form.txtLOG.Text, "");
    EXPECT_FALSE(form.Timer1.enabled());
    EXPECT_EQ(form.Timer1.Interval, 3000);
    for (const Control* combo : {&form.comboCodePage, &form.comboDensity, &form.comboNew8x16, &form.comboTHAI})
        EXPECT_EQ(combo->Text, "") << combo->name();
}

TEST(Form1, EverySwitchTabHasEightRowsOfTwoExclusiveButtons)
{
    Form1 form;
    for (int sw = 1; sw <= 4; ++sw) {
        EXPECT_EQ(form.switchTab(sw).on.indices(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
        EXPECT_EQ(form.switchTab(sw).off.indices().size(), 8u);
        EXPECT_EQ(form.switchTab(sw).function.indices().size(), 8u);
        for (int i = 0; i < 8; ++i)
            form.switchTab(sw).off[i].setValue(true);
        form.switchTab(sw).on[3].setValue(true);
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(form.switchTab(sw).on[i].value(), i == 3) << sw << "/" << i;
            EXPECT_EQ(form.switchTab(sw).off[i].value(), i != 3) << sw << "/" << i;
        }
    }
}

TEST(Form1, SerialOptionGroupsAreIndependent)
{
    Form1 form;
    form.com_BR_38400.setValue(true);
    EXPECT_TRUE(form.com_BR_38400.value());
    EXPECT_FALSE(form.com_BR_115200.value());
    EXPECT_TRUE(form.com_HS_HW.value());
    EXPECT_TRUE(form.com_PK_NONE.value());
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

TEST(Form1, LabelCaptionEndsAtTheFirstNul)
{
    Form1 form;
    form.lblKR_INFO[0].setCaption(std::string("KR-5050\0junk", 12));
    EXPECT_EQ(form.lblKR_INFO[0].caption(), "KR-5050");
    form.txtLOG.Text = std::string("a\0b", 3);
    EXPECT_EQ(form.txtLOG.Text.size(), 3u); // text boxes keep what they are given
}

TEST(Form1, ControlsAreListedOnceInTableOrder)
{
    Form1 form;
    const auto& all = form.controls();
    std::vector<std::string> names;
    for (const Control* c : all)
        names.push_back(c->name());
    auto sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "a control is listed twice";
    EXPECT_EQ(names.front(), "lblPORT");
    EXPECT_EQ(names.back(), "Timer1");
    const auto at = [&](const char* name) { return std::find(names.begin(), names.end(), name) - names.begin(); };
    EXPECT_LT(at("Combo1"), at("frameCOMm"));
    EXPECT_LT(at("lblINFO(0)"), at("lblKR_INFO(0)"));
    EXPECT_LT(at("lblKR_INFO(0)"), at("lblINFO(4)"));
    EXPECT_LT(at("optSW1ON(7)"), at("optSW1OFF(0)"));
    EXPECT_LT(at("lblSW4Function(7)"), at("frameChangeCP"));
    EXPECT_LT(at("comboTHAI"), at("txtLOG"));
}

TEST(Form1, ReachableFollowsContainersAndTheSelectedTab)
{
    Form1 form;
    EXPECT_TRUE(form.reachable(form.cmdCommunicate));
    EXPECT_FALSE(form.reachable(form.cmd2));             // disabled
    EXPECT_FALSE(form.reachable(form.cmdSTATUS));        // its frame is hidden
    EXPECT_TRUE(form.reachable(form.com_BR_9600));
    form.frameCOMm.setEnabled(false);
    EXPECT_FALSE(form.reachable(form.com_BR_9600));      // a disabled container
    form.SSTab1.Visible = true;
    EXPECT_TRUE(form.reachable(form.lblKR_INFO[0]));
    EXPECT_FALSE(form.reachable(form.cmdCLEARlst));      // on tab 6, tab 0 shown
    form.SSTab1.setTab(6);
    EXPECT_TRUE(form.reachable(form.cmdCLEARlst));
}

} // namespace
} // namespace softswitch
