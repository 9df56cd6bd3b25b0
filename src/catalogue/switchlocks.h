#pragma once
// Which switches the user may change: switches 1 and 2 always, 3 and 4 only
// on the Known models. Locked buttons still show and write their bit; they
// only take no clicks.

#include "form/form1.h"

namespace softswitch {

// Sets the Enabled state of all 64 switch option buttons from the model name.
void SetSwitchLocks(Form1& form);

} // namespace softswitch
