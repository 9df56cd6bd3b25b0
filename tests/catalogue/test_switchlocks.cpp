#include "catalogue/switchlocks.h"

#include <gtest/gtest.h>

#include <vector>

namespace softswitch {
namespace {

struct LockRow {
    const char* name;
    std::vector<const char*> models; // one call per model, in order
    bool switches34;                 // whether switches 3 and 4 take clicks after the last call
};

const LockRow kRows[] = {
    {"generic model", {"ZQ-PRINTER"}, false},
    {"KR-1350E is no Known model", {"KR-1350E"}, false},
    {"KR-2250 unlocks all four", {"KR-2250"}, true},
    {"NJ7 as a whole name", {"NJ7"}, true},
    {"NJ7 with more characters stays locked", {"NJ7x"}, false},
    {"KR-3100X through its KR-31 prefix", {"KR-3100X"}, true},
    {"the initial blank name", {" "}, false},
    {"a later generic model locks again", {"KR-5050", "ZQ2-PRINTER"}, false},
    {"a later known model unlocks again", {"KR-4050", "NJ66"}, true},
};

TEST(SwitchLocks, SwitchesOneAndTwoAlwaysTakeClicksThreeAndFourOnKnownModels)
{
    for (const LockRow& row : kRows) {
        Form1 form;
        for (int sw = 1; sw <= kSwitchCount; ++sw)
            for (int i = 0; i < kSwitchBits; ++i)
                form.switchTab(sw).on[i].setEnabled(false), form.switchTab(sw).off[i].setEnabled(false);
        for (const char* model : row.models) {
            form.lblKR_INFO[0].setCaption(model);
            SetSwitchLocks(form);
        }
        for (int sw = 1; sw <= kSwitchCount; ++sw)
            for (int i = 0; i < kSwitchBits; ++i)
                for (const Control* button : {&form.switchTab(sw).on[i], &form.switchTab(sw).off[i]})
                    EXPECT_EQ(button->enabled(), sw <= 2 || row.switches34) << row.name << ": " << button->name();
    }
}

} // namespace
} // namespace softswitch
