#pragma once

#include "printerstate.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace emulator {

using namespace std::string_view_literals;

// What the printer does with a command once it is whole.
enum class CommandKind {
    Print,             // part of the print data: text styles, feeds, images, codes ...
    LineFeed,          // LF: prints the line; counts one line
    FeedLines,         // ESC d n: prints and feeds n lines; counts n
    Cut,               // every cut form; counts one cut
    DrawerPulse,       // ESC p, DLE DC4 1
    Status,            // answers one status byte (DLE EOT n, GS r n, GS I 1..3)
    AutoStatus,        // GS a n: automatic status back on or off
    RealTime,          // other real-time commands: nothing to answer
    Query,             // answers one value, framed "_" value NUL
    UnsupportedQuery,  // a query of a known family with an unknown selector: no answer
    Unlock,
    Lock,
    Write,     // GS g 8 s ...: changes one value, only while unlocked
    SelfTest,  // prints the status page, no answer
};

// When a query is answered at all. A printer without a feature stays silent,
// which is how the utility learns that the feature is missing.
enum class Answer {
    Always,
    DensityModels,  // only models with a print density setting
    ThaiModels,     // only models that print Thai
    WhenOn,         // new 8x16 font: "ON" when on, nothing when off
};

// How long a command is, counted in bytes after its prefix.
enum class Length : std::uint8_t {
    Fixed,       // `params` bytes
    Function,    // fn pL pH, then pL + 256 pH bytes (ESC/GS/FS ( fn)
    BitImage,    // ESC *: m nL nH, then n bytes (m 0, 1) or 3n bytes (m 32, 33)
    Raster,      // GS v 0: m xL xH yL yH, then x * y bytes
    Downloaded,  // GS *: x y, then x * y * 8 bytes
    LongCount,   // GS 8 L / GS 8 k: p1 p2 p3 p4, then that 32-bit count of bytes
    Barcode,     // GS k m: data up to NUL (m 0..6), or n then n bytes (m 65..79)
    TabList,     // ESC D: positions up to NUL, at most 32
    CutMode,     // GS V m, and n for the feed-and-cut forms
    TwoDCode,    // ESC Z m n k dL dH, then dL + 256 dH bytes
    UserChars,   // ESC & y c1 c2, then for each character x and y * x bytes
    RealTimeDc4, // DLE DC4 fn and the bytes of that function
};

struct CommandRow {
    std::string_view name;
    std::string_view prefix;  // the bytes that select the row
    CommandKind kind = CommandKind::Print;
    Length length = Length::Fixed;
    std::uint8_t params = 0;     // Length::Fixed: bytes after the prefix
    Field field = Field::Maker;  // value a query answers or a write changes
    Answer answer = Answer::Always;
};

// Shorthands that keep the table one row a line.
constexpr CommandRow printRow(std::string_view name, std::string_view prefix, std::uint8_t params = 0)
{
    return {name, prefix, CommandKind::Print, Length::Fixed, params};
}
constexpr CommandRow countedRow(std::string_view name, std::string_view prefix, Length length,
                             CommandKind kind = CommandKind::Print)
{
    return {name, prefix, kind, length, 0};
}
constexpr CommandRow fixedRow(std::string_view name, std::string_view prefix, CommandKind kind, std::uint8_t params = 0)
{
    return {name, prefix, kind, Length::Fixed, params};
}
constexpr CommandRow queryRow(std::string_view name, std::string_view prefix, Field field, Answer answer = Answer::Always)
{
    return {name, prefix, CommandKind::Query, Length::Fixed, 0, field, answer};
}
constexpr CommandRow writeRow(std::string_view name, std::string_view prefix, std::uint8_t params, Field field)
{
    return {name, prefix, CommandKind::Write, Length::Fixed, params, field};
}

// The command set, ESC/POS and the maker's own. A stream is matched on the
// longest prefix: rows for one selector (GS I B) come with a catch-all of
// their family (GS I n), and a row whose prefix runs past where the
// catch-all ends is tried first (GS g 4 ' NUL against GS g 4 n).
inline constexpr std::array kCommands{
    // Single bytes.
    printRow("HT", "\x09"sv),
    fixedRow("LF", "\x0A"sv, CommandKind::LineFeed),
    printRow("FF", "\x0C"sv),
    printRow("CR", "\x0D"sv),
    printRow("CAN", "\x18"sv),

    // Real-time commands.
    fixedRow("DLE EOT", "\x10\x04"sv, CommandKind::Status, 1),
    fixedRow("DLE ENQ", "\x10\x05"sv, CommandKind::RealTime, 1),
    countedRow("DLE DC4", "\x10\x14"sv, Length::RealTimeDc4, CommandKind::RealTime),
    fixedRow("DLE DC4 1", "\x10\x14\x01"sv, CommandKind::DrawerPulse, 2),

    // ESC: characters, lines, positions, images.
    printRow("ESC FF", "\x1B\x0C"sv),
    printRow("ESC SP", "\x1B\x20"sv, 1),
    printRow("ESC !", "\x1B\x21"sv, 1),
    printRow("ESC $", "\x1B\x24"sv, 2),
    printRow("ESC %", "\x1B\x25"sv, 1),
    countedRow("ESC &", "\x1B\x26"sv, Length::UserChars),
    countedRow("ESC (", "\x1B\x28"sv, Length::Function),
    countedRow("ESC *", "\x1B\x2A"sv, Length::BitImage),
    printRow("ESC -", "\x1B\x2D"sv, 1),
    printRow("ESC 2", "\x1B\x32"sv),
    printRow("ESC 3", "\x1B\x33"sv, 1),
    printRow("ESC <", "\x1B\x3C"sv),
    printRow("ESC =", "\x1B\x3D"sv, 1),
    printRow("ESC ?", "\x1B\x3F"sv, 1),
    printRow("ESC @", "\x1B\x40"sv),
    countedRow("ESC D", "\x1B\x44"sv, Length::TabList),
    printRow("ESC E", "\x1B\x45"sv, 1),
    printRow("ESC G", "\x1B\x47"sv, 1),
    printRow("ESC J", "\x1B\x4A"sv, 1),
    printRow("ESC K", "\x1B\x4B"sv, 1),
    printRow("ESC L", "\x1B\x4C"sv),
    printRow("ESC M", "\x1B\x4D"sv, 1),
    printRow("ESC R", "\x1B\x52"sv, 1),
    printRow("ESC S", "\x1B\x53"sv),
    printRow("ESC T", "\x1B\x54"sv, 1),
    printRow("ESC U", "\x1B\x55"sv, 1),
    printRow("ESC V", "\x1B\x56"sv, 1),
    printRow("ESC W", "\x1B\x57"sv, 8),
    countedRow("ESC Z", "\x1B\x5A"sv, Length::TwoDCode),
    printRow("ESC \\", "\x1B\x5C"sv, 2),
    printRow("ESC a", "\x1B\x61"sv, 1),
    printRow("ESC c", "\x1B\x63"sv, 2),
    fixedRow("ESC d", "\x1B\x64"sv, CommandKind::FeedLines, 1),
    printRow("ESC e", "\x1B\x65"sv, 1),
    fixedRow("ESC i", "\x1B\x69"sv, CommandKind::Cut),
    fixedRow("ESC m", "\x1B\x6D"sv, CommandKind::Cut),
    fixedRow("ESC p", "\x1B\x70"sv, CommandKind::DrawerPulse, 3),
    printRow("ESC r", "\x1B\x72"sv, 1),
    printRow("ESC t", "\x1B\x74"sv, 1),
    printRow("ESC {", "\x1B\x7B"sv, 1),

    // FS: kanji and NV images.
    printRow("FS !", "\x1C\x21"sv, 1),
    printRow("FS &", "\x1C\x26"sv),
    countedRow("FS (", "\x1C\x28"sv, Length::Function),
    printRow("FS -", "\x1C\x2D"sv, 1),
    printRow("FS .", "\x1C\x2E"sv),
    printRow("FS 2", "\x1C\x32"sv, 74),
    printRow("FS C", "\x1C\x43"sv, 1),
    printRow("FS S", "\x1C\x53"sv, 2),
    printRow("FS W", "\x1C\x57"sv, 1),
    printRow("FS p", "\x1C\x70"sv, 2),

    // GS: sizes, images, codes, cuts, status.
    printRow("GS !", "\x1D\x21"sv, 1),
    printRow("GS $", "\x1D\x24"sv, 2),
    countedRow("GS (", "\x1D\x28"sv, Length::Function),
    fixedRow("self test", "\x1D\x28\x41\x02\x00\x00\x02"sv, CommandKind::SelfTest),
    countedRow("GS *", "\x1D\x2A"sv, Length::Downloaded),
    printRow("GS /", "\x1D\x2F"sv, 1),
    countedRow("GS 8 L", "\x1D\x38\x4C"sv, Length::LongCount),
    countedRow("GS 8 k", "\x1D\x38\x6B"sv, Length::LongCount),
    printRow("GS :", "\x1D\x3A"sv),
    printRow("GS B", "\x1D\x42"sv, 1),
    printRow("GS E", "\x1D\x45"sv, 1),
    printRow("GS H", "\x1D\x48"sv, 1),
    printRow("GS L", "\x1D\x4C"sv, 2),
    printRow("GS P", "\x1D\x50"sv, 2),
    printRow("GS T", "\x1D\x54"sv, 1),
    countedRow("GS V", "\x1D\x56"sv, Length::CutMode, CommandKind::Cut),
    printRow("GS W", "\x1D\x57"sv, 2),
    printRow("GS Z", "\x1D\x5A"sv, 1),
    printRow("GS \\", "\x1D\x5C"sv, 2),
    printRow("GS ^", "\x1D\x5E"sv, 3),
    fixedRow("GS a", "\x1D\x61"sv, CommandKind::AutoStatus, 1),
    printRow("GS b", "\x1D\x62"sv, 1),
    printRow("GS c", "\x1D\x63"sv),
    printRow("GS f", "\x1D\x66"sv, 1),
    printRow("GS h", "\x1D\x68"sv, 1),
    printRow("GS j", "\x1D\x6A"sv, 1),
    countedRow("GS k", "\x1D\x6B"sv, Length::Barcode),
    fixedRow("GS r", "\x1D\x72"sv, CommandKind::Status, 1),
    countedRow("GS v 0", "\x1D\x76\x30"sv, Length::Raster),
    printRow("GS w", "\x1D\x77"sv, 1),
    printRow("GS z 0", "\x1D\x7A\x30"sv, 2),

    // GS I n: the standard one-byte IDs and the maker's block replies.
    fixedRow("GS I 1", "\x1D\x49\x01"sv, CommandKind::Status),
    fixedRow("GS I 2", "\x1D\x49\x02"sv, CommandKind::Status),
    fixedRow("GS I 3", "\x1D\x49\x03"sv, CommandKind::Status),
    fixedRow("GS I 49", "\x1D\x49\x31"sv, CommandKind::Status),
    fixedRow("GS I 50", "\x1D\x49\x32"sv, CommandKind::Status),
    fixedRow("GS I 51", "\x1D\x49\x33"sv, CommandKind::Status),
    queryRow("getMakerInfo", "\x1D\x49\x42"sv, Field::Maker),
    queryRow("getPrinterInfo1", "\x1D\x49\x43"sv, Field::Model),
    queryRow("getPrinterInfo2", "\x1D\x49\x41"sv, Field::Firmware),
    queryRow("getPrinterInfo5", "\x1D\x49\x44"sv, Field::Serial),
    queryRow("getLanguageInfo2", "\x1D\x49\x45"sv, Field::FontRom),
    fixedRow("GS I ?", "\x1D\x49"sv, CommandKind::UnsupportedQuery, 1),

    // GS g: maintenance counters, then the maker's data queries GS g 4 n
    // (some with a NUL), settings lock and writes GS g 8 s.
    printRow("GS g 0", "\x1D\x67\x30"sv, 3),
    printRow("GS g 2", "\x1D\x67\x32"sv, 3),
    queryRow("getPrinterInfo3", "\x1D\x67\x34\x10"sv, Field::Hours),
    queryRow("getPrinterInfo3a", "\x1D\x67\x34\x1B"sv, Field::Lines),
    queryRow("getPrinterInfo4", "\x1D\x67\x34\x15"sv, Field::Cuts),
    queryRow("getPrinterInfo4/1", "\x1D\x67\x34\x16"sv, Field::FailedCuts),
    queryRow("getPrinterInfo5/1", "\x1D\x67\x34\x09"sv, Field::Installed),
    queryRow("getLanguageInfo1", "\x1D\x67\x34\x24"sv, Field::Language),
    queryRow("getLanguageInfo3", "\x1D\x67\x34\x21"sv, Field::CodePage),
    queryRow("getLanguageInfo4", "\x1D\x67\x34\x22"sv, Field::InterChars),
    queryRow("getSW1", "\x1D\x67\x34\x27\x00"sv, Field::Sw1),
    queryRow("getSW2", "\x1D\x67\x34\x28\x00"sv, Field::Sw2),
    queryRow("getSW3", "\x1D\x67\x34\x29\x00"sv, Field::Sw3),
    queryRow("getSW4", "\x1D\x67\x34\x2A\x00"sv, Field::Sw4),
    queryRow("getLanguageInfo5", "\x1D\x67\x34\x30\x00"sv, Field::Density, Answer::DensityModels),
    queryRow("getLanguageInfo6", "\x1D\x67\x34\x25\x00"sv, Field::New8x16, Answer::WhenOn),
    queryRow("getLanguageInfo7", "\x1D\x67\x34\x2B\x00"sv, Field::Thai, Answer::ThaiModels),
    fixedRow("GS g 4 ?", "\x1D\x67\x34"sv, CommandKind::UnsupportedQuery, 1),
    fixedRow("unlock", "\x1D\x67\x75\x6E\x6C\x00"sv, CommandKind::Unlock),
    fixedRow("lock", "\x1D\x67\x6C\x63\x6B\x00"sv, CommandKind::Lock),
    writeRow("WriteSwitch1", "\x1D\x67\x38\x27"sv, 4, Field::Sw1),
    writeRow("WriteSwitch2", "\x1D\x67\x38\x28"sv, 4, Field::Sw2),
    writeRow("WriteSwitch3", "\x1D\x67\x38\x29"sv, 4, Field::Sw3),
    writeRow("WriteSwitch4", "\x1D\x67\x38\x2A"sv, 4, Field::Sw4),
    writeRow("write code page", "\x1D\x67\x38\x21"sv, 4, Field::CodePage),
    writeRow("write code page name", "\x1D\x67\x38\x24"sv, 21, Field::CodePageName),
    writeRow("write inter chars", "\x1D\x67\x38\x22"sv, 3, Field::InterChars),
    writeRow("write density", "\x1D\x67\x38\x30"sv, 3, Field::Density),
    writeRow("write new 8x16", "\x1D\x67\x38\x25"sv, 4, Field::New8x16),
    writeRow("write thai", "\x1D\x67\x38\x2B"sv, 8, Field::Thai),
};

// The bytes that begin a command of more than one byte.
inline constexpr std::uint8_t kDle = 0x10;
inline constexpr std::uint8_t kEsc = 0x1B;
inline constexpr std::uint8_t kFs = 0x1C;
inline constexpr std::uint8_t kGs = 0x1D;

constexpr bool isIntroducer(std::uint8_t byte) { return byte == kDle || byte == kEsc || byte == kFs || byte == kGs; }

// Commands that belong to the print data: in the transcript they share the
// line of the text around them.
constexpr bool isPrintData(CommandKind kind)
{
    return kind == CommandKind::Print || kind == CommandKind::LineFeed || kind == CommandKind::FeedLines ||
           kind == CommandKind::Cut;
}

constexpr bool tableIsConsistent()
{
    for (std::size_t i = 0; i < kCommands.size(); ++i) {
        const CommandRow& row = kCommands[i];
        if (row.prefix.empty() || (row.prefix.size() > 1 && !isIntroducer(static_cast<std::uint8_t>(row.prefix[0]))))
            return false;
        for (std::size_t j = i + 1; j < kCommands.size(); ++j) {
            if (kCommands[j].prefix == row.prefix)
                return false;
        }
    }
    return true;
}
static_assert(tableIsConsistent(), "every prefix once; longer commands begin with DLE, ESC, FS or GS");

}  // namespace emulator
