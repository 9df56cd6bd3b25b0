// The window model's own behaviour. Captions, texts and start state are in
// the golden start dump (tests/e2e/cases/window/start-state.case), the serial
// option groups and what a user can reach in the other window cases, the
// switch rows in the query and writer tests; the lists and tab captions,
// which a dump does not show, in form1-lists.golden.

#include "form/form1.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

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
