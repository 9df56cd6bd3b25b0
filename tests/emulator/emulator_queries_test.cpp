// Queries answer the printer's values in the "_" value NUL framing, or
// nothing for a feature the printer lacks; writes change the values only
// between unlock and lock.
#include "printeremulator.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

using emulator::EmulatorSession;
using emulator::Field;
using emulator::PrinterEmulator;

namespace {

TEST(PrinterEmulator, EachQueryAnswersItsOwnFieldOrNothing)
{
    // Every field holds a different value, so a query wired to the wrong one
    // shows. Text goes out as set, blanks and zeros included; a switch as a
    // plain number.
    PrinterEmulator printer(optionsFrom("--set maker=Mk --set 'firmware= 1.0' --set serial=S9 --set fontrom=F2 "
                                        "--set hours=0042 --set lines=77 --set cuts=5 --set failedcuts=1 "
                                        "--set installed=2024/01/02 --set language=ANK --set codepage=17 "
                                        "--set interchars=12 --set new8x16=on --set thai=249 --set sw1=3 "
                                        "--set sw2=255 --set sw3=128 --set sw4=007")
                                .state);
    EmulatorSession session(printer);
    EXPECT_EQ(session.feed(hex("1D 49 42 1D 49 43 1D 49 41 1D 49 44 1D 49 45 1D 67 34 10 1D 67 34 1B 1D 67 34 15"
                               "1D 67 34 16 1D 67 34 09 1D 67 34 24 1D 67 34 21 1D 67 34 22 1D 67 34 25 00"
                               "1D 67 34 2B 00 1D 67 34 27 00 1D 67 34 28 00 1D 67 34 29 00 1D 67 34 2A 00")),
              framed("Mk") + framed("KR-5050") + framed(" 1.0") + framed("S9") + framed("F2") + framed("0042") +
                  framed("77") + framed("5") + framed("1") + framed("2024/01/02") + framed("ANK") + framed("17") +
                  framed("12") + framed("ON") + framed("249") + framed("3") + framed("255") + framed("128") +
                  framed("7"));
    // No density on this model; unknown selectors, the self test and the unlock answer nothing.
    EXPECT_EQ(session.feed(hex("1D 67 34 30 00 1D 49 7A 1D 67 34 7A 1D 28 41 02 00 00 02") + kUnlock), "");
    // A model with density but without Thai, the 8x16 font off, a value set empty.
    PrinterEmulator other(optionsFrom("--set model=KR-4050 --set density=2 --set firmware=").state);
    EmulatorSession otherSession(other);
    EXPECT_EQ(otherSession.feed(hex("1D 67 34 30 00 1D 67 34 2B 00 1D 67 34 25 00 1D 49 41")), framed("2"));
}

struct WriteRow {
    const char* name;
    const char* options;
    const char* write;
    Field field;
    const char* expected;                  // the value after the write
    std::optional<std::string> reply = {};  // to its query, when not framed(expected)
};

class Write : public ::testing::TestWithParam<WriteRow> {};

TEST_P(Write, IsTakenOnlyBetweenUnlockAndLockAndAnsweredLater)
{
    PrinterEmulator printer(optionsFrom(GetParam().options).state);
    const std::string before = printer.state().value(GetParam().field);
    ASSERT_NE(before, GetParam().expected) << "the row must change the value";
    std::vector<std::string> commands;
    printer.setEventHandler([&commands](const emulator::Event& event) { commands.push_back(event.bytes); });
    EmulatorSession session(printer);
    EXPECT_EQ(session.feed(hex(GetParam().write)), "");
    EXPECT_EQ(commands, std::vector<std::string>{hex(GetParam().write)}) << "one command of the whole length";
    EXPECT_EQ(printer.state().value(GetParam().field), before) << "taken while locked";
    EXPECT_EQ(printer.ignoredWrites(), 1u);
    // Taken once unlocked; locked again, the same write is refused again.
    EXPECT_EQ(session.feed(kUnlock + hex(GetParam().write) + kLock + hex(GetParam().write)), "");
    EXPECT_EQ(printer.state().value(GetParam().field), GetParam().expected);
    EXPECT_EQ(printer.ignoredWrites(), 2u);
    EXPECT_EQ(printer.invalidWrites(), 0u);
    // A later connection talks to the same printer; the query comes from the
    // command table, which the query test proves.
    const auto query = std::find_if(emulator::kCommands.begin(), emulator::kCommands.end(), [](const auto& row) {
        return row.kind == emulator::CommandKind::Query && row.field == GetParam().field;
    });
    if (query != emulator::kCommands.end()) {
        EXPECT_EQ(EmulatorSession(printer).feed(query->prefix), GetParam().reply.value_or(framed(GetParam().expected)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    PrinterEmulator, Write,
    ::testing::Values(
        WriteRow{"Switch1AllOff", "", "1D 67 38 27 32 35 35 00", Field::Sw1, "255"},
        WriteRow{"Switch2AllOn", "--set sw2=9", "1D 67 38 28 30 00 00 00", Field::Sw2, "0"},
        WriteRow{"Switch3Bits136", "", "1D 67 38 29 33 37 00 00", Field::Sw3, "37"},
        WriteRow{"Switch4Bit8", "", "1D 67 38 2A 31 32 38 00", Field::Sw4, "128"},
        WriteRow{"CodePage224", "", "1D 67 38 21 32 32 34 00", Field::CodePage, "224"},
        WriteRow{"CodePageNameHasNoQuery", "",
                 "1D 67 38 24 4B 41 5A 41 4B 48 53 54 41 4E 00 00 00 00 00 00 00 00 00 00 00", Field::CodePageName,
                 "KAZAKHSTAN"},
        WriteRow{"InterChars12", "", "1D 67 38 22 31 32 00", Field::InterChars, "12"},
        WriteRow{"Density2", "--set model=KR-2250", "1D 67 38 30 32 00 00", Field::Density, "2"},
        WriteRow{"New8x16On", "", "1D 67 38 25 4F 4E 00 00", Field::New8x16, "on", framed("ON")},
        WriteRow{"New8x16OffIsSilent", "--set new8x16=on", "1D 67 38 25 00 00 00 00", Field::New8x16, "off", ""},
        WriteRow{"Thai249", "", "1D 67 38 2B 32 34 39 00 00 00 00 00", Field::Thai, "249"}),
    kRowName);

TEST(PrinterEmulator, InvalidWritesLeaveTheValueAndAreCounted)
{
    PrinterEmulator printer;
    EmulatorSession session(printer);
    // A switch above 255, not digits or empty; new 8x16 neither ON nor NULs; an empty code page.
    session.feed(kUnlock + hex("1D 67 38 27 32 35 36 00 1D 67 38 28 41 42 00 00 1D 67 38 29 00 00 00 00"
                               "1D 67 38 25 4F 46 00 00 1D 67 38 21 00 00 00 00") + kLock);
    EXPECT_EQ(printer.invalidWrites(), 5u);
    EXPECT_EQ(session.feed(hex("1D 67 34 27 00 1D 67 34 28 00 1D 67 34 29 00 1D 67 34 25 00 1D 67 34 21")),
              framed("0") + framed("0") + framed("0") + framed("0"));
}

}  // namespace
