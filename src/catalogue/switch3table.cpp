// Switch 3: raster mode, speeds, Thai font, UPOS write and print density.
// After the per-bit rows four field steps follow, each tested on its own:
// A1 (bits 2 to 4 of KR-27, KR-4450, KR-5050), A2 (density of the USB board
// models), A3 (four-bit density), A4 (three-bit density). A KR-3100X name
// also passes the KR-31 test of A3, so A4 runs after it and wins.

#include "catalogue/switchtable.h"

namespace softswitch::catalogue {

namespace {

using namespace model;
using enum Button;

const Models kUsbBoardModels = inFamily(Family::UsbBoardModels);

// The set whose complement bit 2 describes first.
const Models kBit2Set = anyOf(NJ66, NJ7_3, KR2706, KR31, LM47_USB, LM4_USB);
const Models kOutsideBit2Set = !kBit2Set;

// Speed of bits 1 and 2 (KR-46 models), on the bit-1 label from either bit.
const Write kSpeed = field(bits(2, 1), {
    {{Off, Off}, "Print Speed = 220"},
    {{Off, On}, "Print Speed = 200"},
    {{On, Off}, "Print Speed = 180"},
    {{On, On}, "Print Speed = 250"},
}, "Print Speed = unknown").toLabel(0);

const Step kSteps[] = {
    // 1. Bold marking of the clicked pair.
    {.on = anyIndex, .bold = clickedPair},

    // 2. Per-bit rows. Bit 1.
    {.on = index(0), .rows = {
        {anyOf(NJ66, NJ7_3, KR27, KR31, KR4450, KR5050),
         offThenOn("Raster bitmap print mode = Batch printing", "Raster bitmap print mode = Line printing")},
        {kUsbBoardModels, offThenOn("UPOS Write = Enable", "UPOS Write = Disable")},
        {anyOf(KR46, KR3100X_8), kSpeed},
        {anyModel, offOnly("Paper Feed Backward before print = Enabled", "Paper Feed Backward before print = Disabled")},
    }},

    // Bit 2.
    {.on = index(1), .rows = {
        {kOutsideBit2Set && anyOf(KR46, KR3100X_8), kSpeed},
        {kOutsideBit2Set, offOnly("Beep sound after Cut Paper = Disabled", "Beep sound after Cut Paper = Enabled")},
        {kBit2Set && anyOf(NJ66, NJ7_3),
         offOnly("High Quality Print 120mm = Disabled", "High Quality Print 120mm = Enabled")},
        {kBit2Set && anyOf(KR31), offOnly("Print Speed = 170mm/s", "Print Speed = 200mm/s")},
        {kBit2Set, nothing()}, // the USB board models
    }},

    // Bit 3.
    {.on = index(2), .rows = {
        {anyOf(KR46, NJ66, NJ7_3, KR31), offOnly("Thai Font = 1 PASS", "Thai Font = 3 PASS")},
        {anyModel, nothing()},
    }},

    // Bit 4.
    {.on = index(3), .rows = {
        {anyOf(KR46, NJ66, NJ7_3, KR31), offOnly("UPOS Write = Enable", "UPOS Write= Disable")},
        {anyModel, nothing()},
    }},

    // Bit 5 has no row of its own: only the density fields describe it.

    // Bit 6.
    {.on = index(5), .rows = {
        {kUsbBoardModels && anyOf(LM47_USB), always("Reserved")},
        {kUsbBoardModels, offThenOn("Print Speed = 170mm/s", "Print Speed = 200mm/s")},
        {anyModel, nothing()},
    }},

    // Bit 7.
    {.on = index(6), .rows = {
        {kUsbBoardModels, offThenOn("Thai Font = 1 Pass", "Thai Font = 3 Pass")},
        {anyModel, nothing()},
    }},

    // Bit 8.
    {.on = index(7), .rows = {
        {kUsbBoardModels, offThenOn("Cover Open Message = Disable", "Cover Open Message = Enable")},
        {anyOf(KR3100X_8, KR46), offThenOn("Auto cutter = Enable", "Auto cutter = Disable")},
        {anyModel, nothing()},
    }},

    // A1: bits 2 to 4 of KR-27, KR-4450 and KR-5050, three independent tests.
    {.on = index(1, 2, 3), .when = anyOf(KR27, KR4450, KR5050), .bold = pairs(1), .choose = Choose::EveryRow,
     .rows = {
        {anyOf(KR5050), field(bits(4, 3, 2), {
            {{Off, Off, Off}, "Print Speed = 300"},
            {{Off, Off, On}, "Print Speed = 280"},
            {{Off, On, Off}, "Print Speed = 250"},
            {{Off, On, On}, "Print Speed = 220"},
            {{On, Off, Off}, "Print Speed = 200"},
            {{On, Off, On}, "Print Speed = 180"},
        }).toLabel(1)},
        {anyOf(KR4450), always("Reserved").toLabel(1)},
        {anyOf(KR4450), always("Reserved").toLabel(2)},
        {anyOf(KR4450), always("Reserved").toLabel(3)},
        {anyOf(KR27), offThenOn("High Quality Print = Disable", "High Quality Print = Enable").ofBit(2).toLabel(1)},
        {anyOf(KR27), offThenOn("Thai Font mode = Disable", "Thai Font mode = Enable").ofBit(3).toLabel(2)},
        {anyOf(KR27), offThenOn("UPOS Write = Enable", "UPOS Write = Disable").ofBit(4).toLabel(3)},
    }},

    // A2: density of bits 3 to 5 on the USB board models.
    {.on = index(2, 3, 4), .when = kUsbBoardModels, .bold = pairs(4), .rows = {
        {anyModel, field(bits(5, 4, 3), {
            {{Off, Off, Off}, "Print Density = 100%"},
            {{Off, Off, On}, "Print Density = 110%"},
            {{Off, On, Off}, "Print Density = 120%"},
            {{On, On, On}, "Print Density = 130%"},
        }).toLabel(2)},
    }},

    // A3: density of bits 5 to 8.
    {.on = index(4, 5, 6, 7), .when = anyOf(NJ66, NJ7_3, KR27, KR31, KR4450, KR5050), .bold = clickedPair, .rows = {
        {anyModel, field(bits(8, 7, 6, 5), {
            {{Off, Off, Off, Off}, "Print Density = 100%"},
            {{Off, Off, Off, On}, "Print Density = 105%"},
            {{Off, Off, On, Off}, "Print Density = 110%"},
            {{Off, Off, On, On}, "Print Density = 115%"},
            {{Off, On, Off, Off}, "Print Density = 120%"},
            {{Off, On, Off, On}, "Print Density = 125%"},
            {{Off, On, On, Off}, "Print Density = 130%"},
            {{On, On, Off, On}, "Print Density = 140%"},
            {{On, On, On, Off}, "Print Density = 150%"},
            {{Off, On, On, On}, "Print Density = 95%"},
            {{On, Off, Off, Off}, "Print Density = 90%"},
            {{On, Off, Off, On}, "Print Density = 85%"},
            {{On, Off, On, Off}, "Print Density = 80%"},
        }, "Print Density = Unknown").toLabel(4)},
    }},

    // A4: density of bits 5 to 7.
    {.on = index(4, 5, 6), .when = anyOf(KR3100X_8, KR46), .bold = clickedPair, .rows = {
        {anyModel, field(bits(7, 6, 5), {
            {{Off, Off, Off}, "Print Density = 100%"},
            {{Off, Off, On}, "Print Density = 110%"},
            {{Off, On, Off}, "Print Density = 120%"},
            {{Off, On, On}, "Print Density = 130%"},
            {{On, Off, Off}, "Print Density = 90%"},
            {{On, Off, On}, "Print Density = 80%"},
        }, "Print Density = Unknown").toLabel(4)},
    }},
};

} // namespace

std::span<const Step> Switch3Steps() { return kSteps; }

} // namespace softswitch::catalogue
