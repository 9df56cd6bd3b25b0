#pragma once

#include "printerstate.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace emulator {

using namespace std::string_view_literals;

enum class CommandKind {
    Query,             // answers one value, framed "_" value NUL
    UnsupportedQuery,  // a query of a known family with an unknown selector: no answer
    Unlock,
    Lock,
    Write,        // GS g 8 s ...: changes one value, only while unlocked
    SelfTest,     // prints the status page, no answer
    PrintMode,    // ESC ! n, part of the print data
    Initialize,   // ESC @, part of the print data
    Cut,          // ESC i, part of the print data; ends a run
};

// When a query is answered at all. A printer without a feature stays silent,
// which is how the utility learns that the feature is missing.
enum class Answer {
    Always,
    DensityModels,  // only models with a print density setting
    ThaiModels,     // only models that print Thai
    WhenOn,         // new 8x16 font: "ON" when on, nothing when off
};

struct CommandRow {
    std::string_view name;    // event name
    std::string_view prefix;  // fixed leading bytes
    std::size_t length;       // whole command; bytes after the prefix are arguments
    CommandKind kind;
    Field field = Field::Maker;  // value a query answers or a write changes
    Answer answer = Answer::Always;
};

inline constexpr std::size_t kLongestCommand = 25;

// Every command the utility sends. Rows with the same prefix are tried in
// order, so exact rows come before the catch-all rows of their family.
inline constexpr std::array kCommands{
    // Identification queries GS I n, 3 bytes.
    CommandRow{"getMakerInfo", "\x1D\x49\x42"sv, 3, CommandKind::Query, Field::Maker},
    CommandRow{"getPrinterInfo1", "\x1D\x49\x43"sv, 3, CommandKind::Query, Field::Model},
    CommandRow{"getPrinterInfo2", "\x1D\x49\x41"sv, 3, CommandKind::Query, Field::Firmware},
    CommandRow{"getPrinterInfo5", "\x1D\x49\x44"sv, 3, CommandKind::Query, Field::Serial},
    CommandRow{"getLanguageInfo2", "\x1D\x49\x45"sv, 3, CommandKind::Query, Field::FontRom},
    CommandRow{"GS I ?", "\x1D\x49"sv, 3, CommandKind::UnsupportedQuery},

    // Data queries GS g 4 n, 4 bytes.
    CommandRow{"getPrinterInfo3", "\x1D\x67\x34\x10"sv, 4, CommandKind::Query, Field::Hours},
    CommandRow{"getPrinterInfo3a", "\x1D\x67\x34\x1B"sv, 4, CommandKind::Query, Field::Lines},
    CommandRow{"getPrinterInfo4", "\x1D\x67\x34\x15"sv, 4, CommandKind::Query, Field::Cuts},
    CommandRow{"getPrinterInfo4/1", "\x1D\x67\x34\x16"sv, 4, CommandKind::Query, Field::FailedCuts},
    CommandRow{"getPrinterInfo5/1", "\x1D\x67\x34\x09"sv, 4, CommandKind::Query, Field::Installed},
    CommandRow{"getLanguageInfo1", "\x1D\x67\x34\x24"sv, 4, CommandKind::Query, Field::Language},
    CommandRow{"getLanguageInfo3", "\x1D\x67\x34\x21"sv, 4, CommandKind::Query, Field::CodePage},
    CommandRow{"getLanguageInfo4", "\x1D\x67\x34\x22"sv, 4, CommandKind::Query, Field::InterChars},
    // Data queries GS g 4 n 0, 5 bytes.
    CommandRow{"getSW1", "\x1D\x67\x34\x27\x00"sv, 5, CommandKind::Query, Field::Sw1},
    CommandRow{"getSW2", "\x1D\x67\x34\x28\x00"sv, 5, CommandKind::Query, Field::Sw2},
    CommandRow{"getSW3", "\x1D\x67\x34\x29\x00"sv, 5, CommandKind::Query, Field::Sw3},
    CommandRow{"getSW4", "\x1D\x67\x34\x2A\x00"sv, 5, CommandKind::Query, Field::Sw4},
    CommandRow{"getLanguageInfo5", "\x1D\x67\x34\x30\x00"sv, 5, CommandKind::Query, Field::Density,
               Answer::DensityModels},
    CommandRow{"getLanguageInfo6", "\x1D\x67\x34\x25\x00"sv, 5, CommandKind::Query, Field::New8x16, Answer::WhenOn},
    CommandRow{"getLanguageInfo7", "\x1D\x67\x34\x2B\x00"sv, 5, CommandKind::Query, Field::Thai, Answer::ThaiModels},
    CommandRow{"GS g 4 ?", "\x1D\x67\x34"sv, 4, CommandKind::UnsupportedQuery},

    // Settings lock, 6 bytes each.
    CommandRow{"unlock", "\x1D\x67\x75\x6E\x6C\x00"sv, 6, CommandKind::Unlock},
    CommandRow{"lock", "\x1D\x67\x6C\x63\x6B\x00"sv, 6, CommandKind::Lock},

    // Writes GS g 8 s, then argument bytes up to the fixed length.
    CommandRow{"WriteSwitch1", "\x1D\x67\x38\x27"sv, 8, CommandKind::Write, Field::Sw1},
    CommandRow{"WriteSwitch2", "\x1D\x67\x38\x28"sv, 8, CommandKind::Write, Field::Sw2},
    CommandRow{"WriteSwitch3", "\x1D\x67\x38\x29"sv, 8, CommandKind::Write, Field::Sw3},
    CommandRow{"WriteSwitch4", "\x1D\x67\x38\x2A"sv, 8, CommandKind::Write, Field::Sw4},
    CommandRow{"write code page", "\x1D\x67\x38\x21"sv, 8, CommandKind::Write, Field::CodePage},
    CommandRow{"write code page name", "\x1D\x67\x38\x24"sv, 25, CommandKind::Write, Field::CodePageName},
    CommandRow{"write inter chars", "\x1D\x67\x38\x22"sv, 7, CommandKind::Write, Field::InterChars},
    CommandRow{"write density", "\x1D\x67\x38\x30"sv, 7, CommandKind::Write, Field::Density},
    CommandRow{"write new 8x16", "\x1D\x67\x38\x25"sv, 8, CommandKind::Write, Field::New8x16},
    CommandRow{"write thai", "\x1D\x67\x38\x2B"sv, 12, CommandKind::Write, Field::Thai},

    // Test prints.
    CommandRow{"self test", "\x1D\x28\x41\x02\x00\x00\x02"sv, 7, CommandKind::SelfTest},
    CommandRow{"ESC !", "\x1B\x21"sv, 3, CommandKind::PrintMode},
    CommandRow{"ESC @", "\x1B\x40"sv, 2, CommandKind::Initialize},
    CommandRow{"ESC i", "\x1B\x69"sv, 2, CommandKind::Cut},
};

constexpr bool isPrintData(CommandKind kind)
{
    return kind == CommandKind::PrintMode || kind == CommandKind::Initialize || kind == CommandKind::Cut;
}

constexpr bool tableIsConsistent()
{
    for (const CommandRow& row : kCommands) {
        if (row.prefix.empty() || row.prefix.size() > row.length || row.length > kLongestCommand)
            return false;
    }
    return true;
}
static_assert(tableIsConsistent(), "every command needs a prefix no longer than the command");

}  // namespace emulator
