// Queries answer the printer's values in the "_" value NUL framing; writes
// change them only between unlock and lock.
#include "hex.h"
#include "printeremulator.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using emulator::EmulatorSession;
using emulator::Field;
using emulator::PrinterEmulator;
using emulator::PrinterState;

namespace {

const std::string kUnlock = hex("1D 67 75 6E 6C 00");
const std::string kLock = hex("1D 67 6C 63 6B 00");

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
        // Identification queries, defaults.
        QueryRow{"MakerDefault", {}, "1D 49 42", framed("TARVENIC")},
        QueryRow{"ModelDefault", {}, "1D 49 43", framed("KR-5050")},
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
        QueryRow{"SwitchDefault", {}, "1D 67 34 27 00", framed("0")},
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
    [](const ::testing::TestParamInfo<QueryRow>& rowInfo) { return std::string(rowInfo.param.name); });

struct WriteRow {
    const char* name;
    std::vector<std::pair<const char*, const char*>> settings;
    const char* write;
    Field field;
    const char* expected;  // the value after the write
};

class Write : public ::testing::TestWithParam<WriteRow> {};

TEST_P(Write, IsIgnoredWhileLocked)
{
    PrinterEmulator printer(stateWith(GetParam().settings));
    const std::string before = printer.state().value(GetParam().field);
    EmulatorSession session(printer);
    EXPECT_EQ(session.feed(hex(GetParam().write)), "");
    EXPECT_EQ(printer.state().value(GetParam().field), before);
    EXPECT_EQ(printer.ignoredWrites(), 1u);
}

TEST_P(Write, IsTakenBetweenUnlockAndLock)
{
    PrinterEmulator printer(stateWith(GetParam().settings));
    EmulatorSession session(printer);
    EXPECT_EQ(session.feed(kUnlock + hex(GetParam().write) + kLock), "");
    EXPECT_EQ(printer.state().value(GetParam().field), GetParam().expected);
    EXPECT_EQ(printer.ignoredWrites(), 0u);
    EXPECT_EQ(printer.invalidWrites(), 0u);
    EXPECT_FALSE(printer.unlocked());
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
        WriteRow{"CodePageName",
                 {},
                 "1D 67 38 24 4B 41 5A 41 4B 48 53 54 41 4E 00 00 00 00 00 00 00 00 00 00 00",
                 Field::CodePageName,
                 "KAZAKHSTAN"},
        WriteRow{"InterChars12", {}, "1D 67 38 22 31 32 00", Field::InterChars, "12"},
        WriteRow{"InterChars3", {}, "1D 67 38 22 33 00 00", Field::InterChars, "3"},
        WriteRow{"Density2", {{"model", "KR-2250"}}, "1D 67 38 30 32 00 00", Field::Density, "2"},
        WriteRow{"New8x16On", {}, "1D 67 38 25 4F 4E 00 00", Field::New8x16, "on"},
        WriteRow{"New8x16Off", {{"new8x16", "on"}}, "1D 67 38 25 00 00 00 00", Field::New8x16, "off"},
        WriteRow{"Thai249", {}, "1D 67 38 2B 32 34 39 00 00 00 00 00", Field::Thai, "249"}),
    [](const ::testing::TestParamInfo<WriteRow>& rowInfo) { return std::string(rowInfo.param.name); });

TEST(PrinterEmulator, WrittenValuesAreAnsweredByLaterQueries)
{
    PrinterEmulator printer(stateWith({{"model", "KR-5050"}}));
    {
        EmulatorSession writer(printer);
        writer.feed(kUnlock + hex("1D 67 38 27 31 32 38 00") + kLock);
        writer.feed(kUnlock + hex("1D 67 38 21 31 37 00 00") + hex("1D 67 38 25 4F 4E 00 00") +
                    hex("1D 67 38 2B 32 34 39 00 00 00 00 00") + kLock);
    }
    // A later connection talks to the same printer.
    EmulatorSession reader(printer);
    EXPECT_EQ(reader.feed(hex("1D 67 34 27 00")), framed("128"));
    EXPECT_EQ(reader.feed(hex("1D 67 34 21")), framed("17"));
    EXPECT_EQ(reader.feed(hex("1D 67 34 25 00")), framed("ON"));
    EXPECT_EQ(reader.feed(hex("1D 67 34 2B 00")), framed("249"));
}

TEST(PrinterEmulator, WriteAfterLockIsIgnoredAndCounted)
{
    PrinterEmulator printer;
    EmulatorSession session(printer);
    session.feed(kUnlock + hex("1D 67 38 27 31 00 00 00") + kLock + hex("1D 67 38 27 32 00 00 00"));
    EXPECT_EQ(printer.state().value(Field::Sw1), "1");
    EXPECT_EQ(printer.ignoredWrites(), 1u);
}

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
    [](const ::testing::TestParamInfo<InvalidWriteRow>& rowInfo) { return std::string(rowInfo.param.name); });

TEST(PrinterEmulator, PrintingCountsLinesAndCuts)
{
    PrinterEmulator printer(stateWith({{"lines", "0099"}, {"cuts", "9"}}));
    EmulatorSession session(printer);
    session.feed(hex("41 0D 0A 42 0D 0A 1B 40 0D 0A 1B 69"));
    EXPECT_EQ(session.feed(hex("1D 67 34 1B")), framed("0102"));
    EXPECT_EQ(session.feed(hex("1D 67 34 15")), framed("10"));
}

TEST(PrinterState, RefusesValuesItsFieldCannotHold)
{
    PrinterState state;
    EXPECT_NE(state.set("sw1", "256"), "");
    EXPECT_NE(state.set("sw1", "-1"), "");
    EXPECT_NE(state.set("sw1", "12345"), "");
    EXPECT_NE(state.set("new8x16", "yes"), "");
    EXPECT_NE(state.set("maker", std::string("A\0B", 3)), "");
    EXPECT_NE(state.set("colour", "red"), "");
    EXPECT_EQ(state.value(Field::Sw1), "0");
    EXPECT_EQ(state.set("sw1", "255"), "");
    EXPECT_EQ(state.value(Field::Sw1), "255");
}

}  // namespace
