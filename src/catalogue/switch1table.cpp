// Switch 1: serial speed or USB class, cutting, paper and printable width,
// interface, firmware update. Bits 3 to 5 of the KR-5050 pair and KR-27 are
// one width (and speed) field written to the clicked bit's label; on KR-46
// and KR-3100X models bits 4 and 5 are one interface field on the bit-4 label.

#include "catalogue/switchtable.h"

namespace softswitch::catalogue {

namespace {

using namespace model;
using enum Button;

// Width of bits 3 and 4, shared by KR-4450 and KR-27.
const Write kNarrowWidth = field(bits(3, 4), {
    {{Off, Off}, "Paper width & printable width = 80mm, 512dots"},
    {{On, Off}, "Paper width & printable width = 80mm, 576dots"},
    {{Off, On}, "Paper width & printable width = 58mm, 424dots"},
    {{On, On}, noText},
});

const Step kSteps[] = {
    // Bold marking; bits 1 and 2 are one field, so both their pairs.
    {.on = index(0, 1), .bold = pairs(0, 1)},
    {.on = index(2, 3, 4, 5, 6, 7), .bold = clickedPair},

    // Bits 1 and 2, on the bit-1 label.
    {.on = index(0, 1), .rows = {
        {anyOf(LM47_USB), field(bits(1, 2), {
            {{Off, Off}, "USB Class = Virtual COM"},
        }, "(Jumper-J1 2-3 Short=True USB)").toLabel(0)},
        {anyOf(KR2706, LM4_USB), field(bits(1, 2), {
            {{Off, Off}, "USB Class = USB Printer "},
            {{On, On}, "USB Class = Virtual COM "},
        }, "Unknown ").toLabel(0)},
        {anyOf(NJ66), field(bits(1, 2), {
            {{Off, Off}, "USB Class = WIFI"},
            {{On, Off}, "USB Class = USB Printer "},
            {{On, On}, "USB Class = Virtual COM "},
        }, "Unknown ").toLabel(0)},
        {anyOf(KR31, KR46), field(bits(1, 2), {
            {{Off, Off}, "Baud Rate = 115200"},
            {{Off, On}, "Baud Rate = 19200 "},
            {{On, Off}, "Baud Rate = 9600  "},
            {{On, On}, "Baud Rate = 38400 "},
        }, "Unknown ").toLabel(0)},
        {anyModel, field(bits(1, 2), {
            {{Off, Off}, "Baud Rate = 19200 "},
            {{Off, On}, "Baud Rate = 115200"},
            {{On, Off}, "Baud Rate = 9600  "},
            {{On, On}, "Baud Rate = 38400 "},
        }, "Unknown ").toLabel(0)},
    }},

    // Bit 3.
    {.on = index(2), .rows = {
        {anyOf(KR3100X, KR4600), offOnly("Reserve", "Reserve")},
        {anyOf(KR3100), offOnly("Interface = Default(Daughter Board)", "Interface = Onboard")},
        {anyOf(NJ7, NJ66), offOnly("Printable width = 512 Dots", "Printable width = 576 Dots")},
        {noneOf(KR4450, KR5050, KR27), offOnly("Cut Paper When cover closed", "Don't cut paper when cover closed")},
        {anyModel, nothing()}, // the width field below
    }},

    // Bit 4.
    {.on = index(3), .rows = {
        {anyOf(KR3100), offOnly("Onboard Interface = USB", "Onboard Interface = Serial")},
        {anyOf(NJ7, NJ66), offOnly("Paper width = 80mm", "Paper width = 58mm")},
        {noneOf(KR27, KR4450, KR5050, KR4600, KR3100X), offOnly("Partial cut paper.", "Full cut paper")},
        {anyModel, nothing()}, // the fields below
    }},

    // Bit 5.
    {.on = index(4), .rows = {
        {anyOf(KR3100), offOnly("USB Class = Printer Class", "USB Class = CDC(VCOM)")},
        {anyOf(NJ7, NJ66), offOnly("Print Speed = 170mm", "Print Speed = 200mm")},
        {noneOf(KR4450, KR5050, KR27, KR46, KR3100X_8),
         offOnly("Busy condition = When buffer full or off line", "Busy condition = When buffer full")},
        {anyModel, nothing()}, // the fields below
    }},

    // Bit 6.
    {.on = index(5), .rows = {
        {anyOf(KR3100), offOnly("Printable width = 512 dots", "Printable width = 576 dots")},
        {anyOf(KR4450, KR5050, KR27, NJ7_3, NJ66), offOnly("Interface = DEFAULT", "Interface = USB")},
        {anyOf(KR46, KR3100X_8), offOnly("USB Class = Printer Class", "USB Class = CDC(VCOM)")},
        {anyModel, offOnly("Paper Feed before cut paper = Enabled", "Paper Feed before cut paper = Disabled")},
    }},

    // Bit 7.
    {.on = index(6), .rows = {
        {anyOf(KR3100), offOnly("Paper width = 80mm", "Paper width = 58mm")},
        {anyOf(KR46, KR3100X_8), offOnly("Printable width = 512 dots", "Printable width = 576 dots")},
        {anyModel, offOnly("With Auto Cutter", "Without Auto Cutter")},
    }},

    // Bit 8.
    {.on = index(7), .rows = {
        {anyOf(KR3100), offOnly("Auto cutter = Enable", "Auto cutter = Disable")},
        {anyOf(KR4450, KR5050, KR27), offOnly("Firmware update Mode = Enabled", "Firmware update Mode = Disabled")},
        {anyOf(NJ66), offOnly("Auto Cutter = Enable", "Auto Cutter = Disable")},
        {anyOf(KR46, KR3100X_8), offOnly("Paper width = 80mm", "Paper width = 58mm")},
        {anyOf(NJ7, KR2706, LM4_USB, NJ66), offOnly("Reserved", "Reserved")},
        {anyOf(LM47_USB), offOnly("USB_ZERO_PACKET", "USB_NAK_PACKET")},
        {anyModel, offOnly("Paper Feed Backward before print = Enabled", "Paper Feed Backward before print = Disabled")},
    }},

    // Bits 3 to 5 as one field, three independent tests; every text goes to
    // the clicked bit's label. On KR-4450 and KR-27 the speed of bit 5
    // replaces the width whenever one of its buttons is selected.
    {.on = index(2, 3, 4), .bold = clickedPair, .choose = Choose::EveryRow, .rows = {
        {anyOf(KR5050), field(bits(3, 4, 5), {
            {{Off, Off, Off}, "Paper width & printable width = 80mm, 512dots"},
            {{On, Off, Off}, "Paper width & printable width = 80mm, 576dots"},
            {{Off, On, Off}, "Paper width & printable width = 58mm, 424dots"},
            {{On, On, Off}, "Paper width & printable width = 58mm, 432dots"},
            {{Off, Off, On}, "Paper width & printable width = 83mm, 512dots"},
            {{On, Off, On}, "Paper width & printable width = 83mm, 576dots"},
            {{Off, On, On}, "Paper width & printable width = 83mm, 640dots"},
            {{On, On, On}, "Paper width & printable width = 83mm, 640dots"},
        })},
        {anyOf(KR4450), kNarrowWidth},
        {anyOf(KR4450), offThenOn("Print speed = 220mm/sec", "Print speed = 180mm/sec").ofBit(5)},
        {anyOf(KR27), kNarrowWidth},
        {anyOf(KR27), offThenOn("Print speed = 200mm/sec", "Print speed = 170mm/sec").ofBit(5)},
    }},

    // Bits 4 and 5 as one interface field, on the bit-4 label.
    {.on = index(3, 4), .bold = clickedPair, .rows = {
        {anyOf(KR46, KR3100X_8), field(bits(4, 5), {
            {{Off, Off}, "Onboard Interface = USB"},
            {{Off, On}, "Onboard Interface = Serial"},
            {{On, Off}, "Onboard Interface = Ethernet"},
            {{On, On}, noText},
        }).toLabel(3)},
    }},
};

} // namespace

std::span<const Step> Switch1Steps() { return kSteps; }

} // namespace softswitch::catalogue
