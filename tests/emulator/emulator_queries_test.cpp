// Queries answer the printer's values in the "_" value NUL framing; writes
// change them only between unlock and lock.
#include "printeremulator.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

using emulator::EmulatorSession;
using emulator::Field;
using emulator::PrinterEmulator;
using emulator::PrinterState;

namespace {

PrinterState stateWith(const std::vector<std::pair<const char*, const char*>>& settings)
{
    PrinterState state;
    for (const auto& [key, value] : settings) {
        const std::string error = state.set(key, value);
        if (!error.empty())
            throw std::invalid_argument(error);
    }
    return state;
}

struct QueryRow {
    const char* name;
    std::vector<std::pair<const char*, const char*>> settings;
    const char* command;
    std::string reply;  // empty: the printer stays silent
};

class Query : public ::testing::TestWithParam<QueryRow> {};

TEST_P(Query, AnswersExactly)
{
    PrinterEmulator printer(stateWith(GetParam().settings));
    EmulatorSession session(printer);
    EXPECT_EQ(session.feed(hex(GetParam().command)), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(
    PrinterEmulator, Query,
    ::testing::Values(
        // Identification queries, defaults (maker and model: in the fault rows).
        QueryRow{"FirmwareDefault", {}, "1D 49 41", framed("V2.01")},
        QueryRow{"SerialDefault", {}, "1D 49 44", framed("K5050A000123")},
        QueryRow{"FontRomDefault", {}, "1D 49 45", framed("ANK24-V1.0")},
        // Identification queries, set values.
        QueryRow{"MakerSet", {{"maker", "Tarvenic Ltd"}}, "1D 49 42", framed("Tarvenic Ltd")},
        QueryRow{"ModelSet", {{"model", "KR-31"}}, "1D 49 43", framed("KR-31")},
        QueryRow{"FirmwareSet", {{"firmware", "1.0"}}, "1D 49 41", framed("1.0")},
        QueryRow{"SerialSet", {{"serial", "S9"}}, "1D 49 44", framed("S9")},
        QueryRow{"FontRomSet", {{"fontrom", "F2"}}, "1D 49 45", framed("F2")},
        // Counters and dates, 4-byte data queries.
        QueryRow{"Hours", {{"hours", "0042"}}, "1D 67 34 10", framed("0042")},
        QueryRow{"Lines", {{"lines", "77"}}, "1D 67 34 1B", framed("77")},
        QueryRow{"Cuts", {{"cuts", "5"}}, "1D 67 34 15", framed("5")},
        QueryRow{"FailedCuts", {{"failedcuts", "1"}}, "1D 67 34 16", framed("1")},
        QueryRow{"Installed", {{"installed", "2024/01/02"}}, "1D 67 34 09", framed("2024/01/02")},
        // Language queries.
        QueryRow{"LanguageModel", {{"language", "ANK"}}, "1D 67 34 24", framed("ANK")},
        QueryRow{"CodePage", {{"codepage", "17"}}, "1D 67 34 21", framed("17")},
        QueryRow{"CodePageWithBlank", {{"codepage", " 17"}}, "1D 67 34 21", framed(" 17")},
        QueryRow{"InterChars", {{"interchars", "12"}}, "1D 67 34 22", framed("12")},
        QueryRow{"DensityOnDensityModel", {{"model", "KR-2250"}, {"density", "1"}}, "1D 67 34 30 00", framed("1")},
        QueryRow{"New8x16On", {{"new8x16", "on"}}, "1D 67 34 25 00", framed("ON")},
        QueryRow{"Thai249OnThaiModel", {{"thai", "249"}}, "1D 67 34 2B 00", framed("249")},
        QueryRow{"Thai255Default", {}, "1D 67 34 2B 00", framed("255")},
        // Switches, 5-byte data queries.
        QueryRow{"Switch1", {{"sw1", "5"}}, "1D 67 34 27 00", framed("5")},
        QueryRow{"Switch2", {{"sw2", "255"}}, "1D 67 34 28 00", framed("255")},
        QueryRow{"Switch3", {{"sw3", "128"}}, "1D 67 34 29 00", framed("128")},
        QueryRow{"Switch4", {{"sw4", "007"}}, "1D 67 34 2A 00", framed("7")},
        // Queries this printer does not answer.
        QueryRow{"DensityOnModelWithoutDensity", {{"density", "1"}}, "1D 67 34 30 00", ""},
        QueryRow{"New8x16Off", {{"new8x16", "off"}}, "1D 67 34 25 00", ""},
        QueryRow{"ThaiOnModelWithoutThai", {{"model", "KR-4050"}}, "1D 67 34 2B 00", ""},
        QueryRow{"EmptyValueIsAMissingFeature", {{"firmware", ""}}, "1D 49 41", ""},
        QueryRow{"UnknownIdentificationQuery", {}, "1D 49 7A", ""},
        QueryRow{"UnknownDataQuery", {}, "1D 67 34 7A", ""},
        QueryRow{"SwitchQueryWithoutItsNul", {}, "1D 67 34 27", ""},
        QueryRow{"SelfTest", {}, "1D 28 41 02 00 00 02", ""},
        QueryRow{"Unlock", {}, "1D 67 75 6E 6C 00", ""},
        // Two queries in one chunk answer in order.
        QueryRow{"TwoQueriesAtOnce", {}, "1D 49 42 1D 49 43", framed("TARVENIC") + framed("KR-5050")}),
    kRowName);

struct WriteRow {
    const char* name;
    std::vector<std::pair<const char*, const char*>> settings;
    const char* write;
    Field field;
    const char* expected;                  // the value after the write
    std::optional<std::string> reply = {};  // to its query, when not framed(expected)
};

class Write : public ::testing::TestWithParam<WriteRow> {};

// The query of a field, from the command table (the Query rows prove those).
std::optional<std::string> queryOf(Field field)
{
    for (const emulator::CommandRow& row : emulator::kCommands) {
        if (row.kind == emulator::CommandKind::Query && row.field == field)
            return std::string(row.prefix);
    }
    return std::nullopt;
}

TEST_P(Write, IsTakenOnlyBetweenUnlockAndLockAndAnsweredLater)
{
    PrinterEmulator printer(stateWith(GetParam().settings));
    const std::string before = printer.state().value(GetParam().field);
    ASSERT_NE(before, GetParam().expected) << "the row must change the value";
    EmulatorSession session(printer);
    EXPECT_EQ(session.feed(hex(GetParam().write)), "");
    EXPECT_EQ(printer.state().value(GetParam().field), before) << "taken while locked";
    EXPECT_EQ(printer.ignoredWrites(), 1u);
    // Taken once unlocked; locked again, the same write is refused again.
    EXPECT_EQ(session.feed(kUnlock + hex(GetParam().write) + kLock + hex(GetParam().write)), "");
    EXPECT_EQ(printer.state().value(GetParam().field), GetParam().expected);
    EXPECT_EQ(printer.ignoredWrites(), 2u);
    EXPECT_EQ(printer.invalidWrites(), 0u);
    EXPECT_FALSE(printer.unlocked());
    // A later connection talks to the same printer.
    if (const std::optional<std::string> query = queryOf(GetParam().field)) {
        EmulatorSession later(printer);
        EXPECT_EQ(later.feed(*query), GetParam().reply.value_or(framed(GetParam().expected)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    PrinterEmulator, Write,
    ::testing::Values(
        WriteRow{"Switch1AllOff", {}, "1D 67 38 27 32 35 35 00", Field::Sw1, "255"},
        WriteRow{"Switch2AllOn", {{"sw2", "9"}}, "1D 67 38 28 30 00 00 00", Field::Sw2, "0"},
        WriteRow{"Switch3Bits136", {}, "1D 67 38 29 33 37 00 00", Field::Sw3, "37"},
        WriteRow{"Switch4Bit8", {}, "1D 67 38 2A 31 32 38 00", Field::Sw4, "128"},
        WriteRow{"CodePage224", {}, "1D 67 38 21 32 32 34 00", Field::CodePage, "224"},
        WriteRow{"CodePage0", {{"codepage", "17"}}, "1D 67 38 21 30 00 00 00", Field::CodePage, "0"},
        WriteRow{"CodePageNameHasNoQuery",
                 {},
                 "1D 67 38 24 4B 41 5A 41 4B 48 53 54 41 4E 00 00 00 00 00 00 00 00 00 00 00",
                 Field::CodePageName,
                 "KAZAKHSTAN"},
        WriteRow{"InterChars12", {}, "1D 67 38 22 31 32 00", Field::InterChars, "12"},
        WriteRow{"Density2", {{"model", "KR-2250"}}, "1D 67 38 30 32 00 00", Field::Density, "2"},
        WriteRow{"New8x16On", {}, "1D 67 38 25 4F 4E 00 00", Field::New8x16, "on", framed("ON")},
        WriteRow{"New8x16OffIsSilent", {{"new8x16", "on"}}, "1D 67 38 25 00 00 00 00", Field::New8x16, "off", ""},
        WriteRow{"Thai249", {}, "1D 67 38 2B 32 34 39 00 00 00 00 00", Field::Thai, "249"}),
    kRowName);

struct InvalidWriteRow {
    const char* name;
    const char* write;
    Field field;
};

class InvalidWrite : public ::testing::TestWithParam<InvalidWriteRow> {};

TEST_P(InvalidWrite, LeavesTheValueAndIsCounted)
{
    PrinterEmulator printer;
    const std::string before = printer.state().value(GetParam().field);
    EmulatorSession session(printer);
    session.feed(kUnlock + hex(GetParam().write) + kLock);
    EXPECT_EQ(printer.state().value(GetParam().field), before);
    EXPECT_EQ(printer.invalidWrites(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    PrinterEmulator, InvalidWrite,
    ::testing::Values(InvalidWriteRow{"SwitchAbove255", "1D 67 38 27 32 35 36 00", Field::Sw1},
                      InvalidWriteRow{"SwitchNotDigits", "1D 67 38 28 41 42 00 00", Field::Sw2},
                      InvalidWriteRow{"SwitchEmpty", "1D 67 38 29 00 00 00 00", Field::Sw3},
                      InvalidWriteRow{"New8x16Neither", "1D 67 38 25 4F 46 00 00", Field::New8x16},
                      InvalidWriteRow{"CodePageEmpty", "1D 67 38 21 00 00 00 00", Field::CodePage}),
    kRowName);

TEST(PrinterEmulator, PrintingCountsLinesAndCuts)
{
    PrinterEmulator printer(stateWith({{"lines", "0099"}, {"cuts", "9"}}));
    EmulatorSession session(printer);
    session.feed(hex("41 0D 0A 42 0D 0A 1B 40 0D 0A 1B 69"));
    EXPECT_EQ(session.feed(hex("1D 67 34 1B")), framed("0102"));
    EXPECT_EQ(session.feed(hex("1D 67 34 15")), framed("10"));
}

TEST(PrinterState, RefusedValuesLeaveTheFieldAsItWas)
{
    PrinterState state;
    for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
             {"sw1", "256"}, {"sw1", "-1"}, {"sw1", "12345"}, {"new8x16", "yes"}, {"maker", std::string("A\0B", 3)}})
        EXPECT_NE(state.set(key, value), "") << key << "=" << value;
    EXPECT_EQ(state.value(Field::Sw1), "0");
    EXPECT_EQ(state.value(Field::New8x16), "off");
    EXPECT_EQ(state.value(Field::Maker), "TARVENIC");
}

}  // namespace
