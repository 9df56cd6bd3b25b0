// Switch 2: paper feed, cutting, busy, carriage return, parity and
// handshaking. Core group models and the others carry the same meanings on
// different bits of 6 to 8, and on those bits only the others get the bold
// marking. Every test of NJ7 here is on its first 3 characters and every
// test of KR-3100X on its first 8.

#include "catalogue/switchtable.h"

namespace softswitch::catalogue {

namespace {

using namespace model;
using enum Button;

const Models kCoreGroup = inFamily(Family::CoreGroup);

constexpr std::string_view kSoftwareSwitch =
    "Hardware Switch1 = Invalid\r\n(Software switch instead of hardware switch)";

// KR-2250: print density of bits 1 and 2, on the bit-1 label from either bit.
const Write kDensity = field(bits(1, 2), {
    {{Off, Off}, "Print Density = NORMAL"},
    {{Off, On}, "Unknown"},
    {{On, Off}, "Print Density =HIGH QUALITY"},
    {{On, On}, "Print Density = LIGHT"},
}).toLabel(0);

const Step kSteps[] = {
    // Bit 1.
    {.on = index(0), .bold = clickedPair, .rows = {
        {anyOf(KR5050, KR31, KR46), offThenOn("Paper Feed Back = Disabled", "Paper Feed Back = Enabled")},
        {anyOf(KR27, NJ7_3, NJ66), offThenOn("Paper Feed Back = Enabled", "Paper Feed Back = Disabled")},
        {anyOf(KR4450), always("Reserved")},
        {anyOf(KR2250), kDensity},
        {anyOf(ZQ2_PRINTER, ZQ_PRINTER), offOnly("Hardware Switch1 = Valid", kSoftwareSwitch)},
        {anyOf(ZQ3_PRINTER), offOnly("Hardware Switch1 = Valid", kSoftwareSwitch)},
        {anyOf(KR2706, LM4_USB, ZQ3_PRINTER_II), offOnly("Hardware Switch1 = Valid", kSoftwareSwitch)},
        {anyOf(LM47_USB), always("Reserved")},
        {anyModel, nothing()},
    }},

    // Bit 2.
    {.on = index(1), .bold = clickedPair, .rows = {
        {anyOf(KR4450, KR5050, KR27, NJ7_3, NJ66, KR46, KR3100X_8),
         offThenOn("Don't cut paper when cover closed", "Cut Paper When cover closed")},
        {anyOf(KR2250), kDensity},
        {anyOf(ZQ2_PRINTER, ZQ_PRINTER), offOnly("Fixed to OFF", "Unknown")},
        {anyOf(ZQ3_PRINTER), offOnly("80mm", "58mm")},
        {anyOf(KR2706, LM47_USB, LM4_USB, ZQ3_PRINTER_II), offOnly("80mm", "58mm")},
        {anyModel, nothing()},
    }},

    // Bit 3.
    {.on = index(2), .bold = clickedPair, .rows = {
        {anyOf(KR5050), offThenOn("Full Cut Paper = Enabled", "Full Cut Paper = Disabled")},
        {anyOf(KR4450), always("Reserved")},
        {anyOf(KR31, KR27, NJ7_3, NJ66), offThenOn("Full Cut Paper = Disabled", "Full Cut Paper = Enabled")},
        {anyOf(KR46, KR3100X_8),
         offOnly("Raster bitmap print mode = Batch printing", "Raster bitmap print mode = Line printing")},
        {anyOf(KR2250), offOnly("Don't cut paper when cover closed", "Cut Paper When cover closed")},
        {anyOf(ZQ2_PRINTER, ZQ_PRINTER), offOnly("Fixed to OFF", "Unknown")},
        {anyOf(KR2706, LM47_USB, LM4_USB, ZQ3_PRINTER, ZQ3_PRINTER_II), offOnly("512dots", "576dots")},
        {anyModel, nothing()},
    }},

    // Bit 4.
    {.on = index(3), .bold = clickedPair, .rows = {
        {kCoreGroup, offThenOn("Paper Feed before cut paper = Enabled", "Paper Feed before cut paper = Disabled")},
        {anyOf(KR2250), offOnly("Partial cut paper.", "Full cut paper")},
        {anyOf(ZQ2_PRINTER, ZQ_PRINTER), offOnly("Fixed to OFF", "Unknown")},
        {anyOf(ZQ3_PRINTER), offOnly("Fixed to OFF", "Unknown")},
        {anyOf(ZQ3_PRINTER_II), offOnly("Print Density = NORMAL", "Print Density = HIGH QUALITY")},
        {anyOf(KR2706, LM4_USB), offThenOn("Paper Feed Back = Enabled", "Paper Feed Back = Disabled")},
        {anyOf(LM47_USB), offThenOn("Paper Feed Back = Disabled", "Paper Feed Back = Enabled")},
        {anyModel, nothing()},
    }},

    // Bit 5.
    {.on = index(4), .bold = clickedPair, .rows = {
        {kCoreGroup, offThenOn("Busy condition = When buffer full or off line", "Busy condition = When buffer full")},
        {anyModel, offOnly("Raster bitmap print mode = Batch printing", "Raster bitmap print mode = Line printing")},
    }},

    // Bit 6.
    {.on = index(5), .rows = {
        {kCoreGroup, offThenOn("<CR> Invalid", "<CR> Valid")},
        {anyOf(LM47_USB), nothing()},
        {anyModel, boldFirst(offOnly("Parity check = NONE", "Parity check = EVEN"))},
    }},

    // Bit 7; on LM47_USB bits 6 and 7 are one speed field.
    {.on = index(6), .rows = {
        {kCoreGroup, offThenOn("Parity check = NONE", "Parity check = EVEN")},
        {anyOf(LM47_USB), field(bits(6, 7), {
            {{Off, Off}, "Printing Speed = 220mm"},
            {{Off, On}, "Printing Speed = 180mm"},
            {{On, Off}, "Printing Speed = 200mm"},
            {{On, On}, "Printing Speed = 250mm"},
        }).toLabel(6)},
        {anyModel, boldFirst(offOnly("Handshaking = DTR/DSR", "Handshaking = XON/XOFF"))},
    }},

    // Bit 8.
    {.on = index(7), .rows = {
        {kCoreGroup, offThenOn("Handshaking = DTR/DSR", "Handshaking = XON/XOFF")},
        {anyModel, boldFirst(offOnly("<CR> Invalid", "<CR> Valid"))},
    }},
};

} // namespace

std::span<const Step> Switch2Steps() { return kSteps; }

} // namespace softswitch::catalogue
