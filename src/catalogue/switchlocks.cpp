#include "catalogue/switchlocks.h"

#include "catalogue/modelfamilies.h"

namespace softswitch {

namespace {

void setSwitchEnabled(Form1& form, int sw, bool enabled)
{
    SwitchTab& tab = form.switchTab(sw);
    for (int i = 0; i < kSwitchBits; ++i) {
        tab.off[i].setEnabled(enabled);
        tab.on[i].setEnabled(enabled);
    }
}

} // namespace

void SetSwitchLocks(Form1& form)
{
    setSwitchEnabled(form, 1, true);
    setSwitchEnabled(form, 2, true);
    // Locked first, so a call after a model change starts again from locked.
    setSwitchEnabled(form, 3, false);
    setSwitchEnabled(form, 4, false);
    if (InFamily(ModelName(form), Family::KnownModels)) {
        setSwitchEnabled(form, 3, true);
        setSwitchEnabled(form, 4, true);
    }
}

} // namespace softswitch
