#pragma once
// Placeholder until the switch catalogues land: describing a bit changes nothing.

#include "form/form1.h"

namespace softswitch {

inline void DescribeSwitchBit(Form1&, int, int) {}

} // namespace softswitch
