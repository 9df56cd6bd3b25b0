#pragma once
// The texts of the soft-switch tabs: what each bit's state means on the
// connected model. A describe call recomputes the texts that depend on one
// bit from the option buttons and the model name; it writes only function
// label captions and the bold style of option buttons, never a button value,
// and never clears a label. An index outside 0..7 does nothing.

#include "form/form1.h"

namespace softswitch {

void DescribeSwitch1Bit(Form1& form, int index);
void DescribeSwitch2Bit(Form1& form, int index);
void DescribeSwitch3Bit(Form1& form, int index);
void DescribeSwitch4Bit(Form1& form, int index);

// The describe call of switch sw (1..4); any other switch does nothing.
void DescribeSwitchBit(Form1& form, int sw, int index);

} // namespace softswitch
