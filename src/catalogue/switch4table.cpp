// Switch 4: five fields. A click describes only the field that holds the
// clicked bit, on the field's first label, and bold-marks only the field's
// lower pair, so pairs 2, 4 and 6 never change their bold style here.

#include "catalogue/switchtable.h"

namespace softswitch::catalogue {

namespace {

using namespace model;
using enum Button;

// The models whose reductions (fields F2 to F4) are described.
const Models kReductionModels = anyOf(NJ66, NJ7_3, KR27, KR4450, KR5050, KR2706, KR46, KR31, LM47_USB, LM4_USB);

const Step kSteps[] = {
    // F1, bit 1.
    {.on = index(0), .bold = pairs(0), .rows = {
        {anyOf(NJ66, NJ7_3, KR27, KR46, KR31, KR4450, KR5050),
         offThenOn("Beep sound after Cut paper = Disabled", "Beep sound after Cut paper = Enabled")},
        {anyOf(KR2706, LM4_USB), offThenOn("Print Speed 120mm/s = Disabled", "Print Speed 120mm/s = Enabled")},
        {anyOf(LM47_USB), always("Reserved")},
        {anyModel, nothing()},
    }},

    // F2, bits 2 and 3 (high bit first).
    {.on = index(1, 2), .bold = pairs(1), .rows = {
        {kReductionModels, field(bits(3, 2), {
            {{Off, Off}, "Barcode Height Reduction = Disabled"},
            {{Off, On}, "Barcode Height Reduction = 25%"},
            {{On, Off}, "Barcode Height Reduction = 50%"},
            {{On, On}, "Barcode Height Reduction = 75%"},
        }).toLabel(1)},
    }},

    // F3, bits 4 and 5.
    {.on = index(3, 4), .bold = pairs(3), .rows = {
        {kReductionModels, field(bits(5, 4), {
            {{Off, Off}, "Line Space Reduction = Disabled"},
            {{Off, On}, "Line Space Reduction = 25%"},
            {{On, Off}, "Line Space Reduction = 50%"},
            {{On, On}, "Line Space Reduction = 75%"},
        }).toLabel(3)},
    }},

    // F4, bits 6 and 7.
    {.on = index(5, 6), .bold = pairs(5), .rows = {
        {kReductionModels, field(bits(7, 6), {
            {{Off, Off}, "Line Feed Reduction = Disabled"},
            {{Off, On}, "Line Feed Reduction = 25%"},
            {{On, Off}, "Line Feed Reduction = 50%"},
            {{On, On}, "Line Feed Reduction = 75%"},
        }).toLabel(5)},
    }},

    // F5, bit 8.
    {.on = index(7), .bold = pairs(7), .rows = {
        {anyOf(NJ66, NJ7_3, KR27, KR4450, KR5050),
         offThenOn("Switch 1 Selection = Hardware", "Switch 1 Selection = Software")},
        {anyOf(KR46, KR31), offOnly("USB_ZERO_PACKET", "USB_NAK_PACKET")},
        {anyModel, nothing()},
    }},
};

} // namespace

std::span<const Step> Switch4Steps() { return kSteps; }

} // namespace softswitch::catalogue
