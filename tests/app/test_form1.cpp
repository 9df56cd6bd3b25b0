// The window model's own behaviour. Captions, texts and start state are in
// the golden start dump (tests/e2e/cases/window/start-state.case), the serial
// option groups and what a user can reach in the other window cases, the
// switch rows in the query and writer tests; the lists and tab captions,
// which a dump does not show, here.

#include "form/form1.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace softswitch {
namespace {

struct ListRow {
    const Control Form1::*control; // nullptr: the tab captions
    std::size_t count;
    std::vector<std::pair<std::size_t, std::string>> entries; // position and text
};

// The counts, both ends and the spellings that are easy to get wrong.
const ListRow kListRows[] = {
    {nullptr, 7, {{0, "Printer Infomation"}, {5, "Additional Soft_Switch"}, {6, "Log History"}}},
    {&Form1::Combo1, 19, {{0, "TCP/IP"}, {1, "LPT1"}, {2, "USB"}, {3, "COM1"}, {18, "COM16"}}},
    {&Form1::comboCodePage, 25, {{0, "0  - 437 Standard"}, {1, "1  - Katakana Japanese"}, {6, "17 - 866 Cyrillic"},
                                 {22, "224- KAZAKHSTAN"}, {24, "250- LITHUANIA"}}},
    {&Form1::comboCodePageName, 25, {{0, "0  - Standard"}, {2, "2  - Multilingual(LatinI)"},
                                     {14, "27 - Windows Arabic/Farsi"}, {24, "250- LITHUANIA"}}},
    {&Form1::comboInterChars, 15, {{0, "0 - U.S.A."}, {10, "10- Denmark II"}, {13, "13- Korea"}, {14, "15- Ex-Yugoslavia"}}},
    {&Form1::comboDensity, 3, {{0, "0 - Normal"}, {2, "2 - Dark"}}},
    {&Form1::comboNew8x16, 2, {{0, "OFF"}, {1, " ON"}}},
    {&Form1::comboTHAI, 2, {{0, "255 - Thai 1 Pass"}, {1, "249 - Thai 3 Pass"}}},
};

TEST(Form1, ListsAndTabCaptions)
{
    Form1 form;
    for (const ListRow& row : kListRows) {
        const auto& list = row.control ? (form.*row.control).list : form.SSTab1.tabCaptions;
        ASSERT_EQ(list.size(), row.count) << row.entries[0].second;
        for (const auto& [position, text] : row.entries)
            EXPECT_EQ(list[position], text);
    }
    // Entry k of both code-page lists names the same code page.
    for (std::size_t k = 0; k < form.comboCodePage.list.size(); ++k)
        EXPECT_EQ(form.comboCodePage.list[k].substr(0, 4), form.comboCodePageName.list[k].substr(0, 4)) << k;
}

TEST(Form1, SelectingAnOptionByProgramCountsAsAClickClearingItDoesNot)
{
    Form1 form;
    int clicks = 0;
    form.optSW2OFF[4].onClick = [&] { ++clicks; };
    form.optSW2OFF[4].setValue(true);
    form.optSW2OFF[4].setValue(false);
    EXPECT_EQ(clicks, 1);
}

} // namespace
} // namespace softswitch
