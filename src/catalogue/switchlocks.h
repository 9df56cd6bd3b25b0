#pragma once
// Placeholder until the switch locks land.

#include "form/form1.h"

namespace softswitch {

inline void SetSwitchLocks(Form1&) {}

} // namespace softswitch
