#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace emulator {

// Every value the virtual printer keeps. Queries read them, writes change them.
enum class Field {
    Maker,
    Model,
    Firmware,
    Serial,
    FontRom,
    Hours,
    Lines,
    Cuts,
    FailedCuts,
    Installed,
    Language,
    CodePage,
    CodePageName,
    InterChars,
    Density,
    New8x16,
    Thai,
    Sw1,
    Sw2,
    Sw3,
    Sw4,
    Paper,
    Cover,
    Drawer,
    Online,
};

// How a value is checked when it is set: free text (no NUL, which would end a
// reply early), a switch byte 0..255 in decimal, on/off, or one of a list.
enum class FieldKind { Text, Byte, OnOff, Choice };

struct FieldInfo {
    Field field;
    std::string_view key;  // name used by --set and --no-reply
    FieldKind kind;
    std::string_view defaultValue;
    std::string_view choices = {};  // FieldKind::Choice: the values, separated by "|"
};

// The printer as it leaves the factory; the order is the order of Field.
inline constexpr std::array kFields{
    FieldInfo{Field::Maker, "maker", FieldKind::Text, "TARVENIC"},
    FieldInfo{Field::Model, "model", FieldKind::Text, "KR-5050"},
    FieldInfo{Field::Firmware, "firmware", FieldKind::Text, "V2.01"},
    FieldInfo{Field::Serial, "serial", FieldKind::Text, "K5050A000123"},
    FieldInfo{Field::FontRom, "fontrom", FieldKind::Text, "ANK24-V1.0"},
    FieldInfo{Field::Hours, "hours", FieldKind::Text, "1520"},
    FieldInfo{Field::Lines, "lines", FieldKind::Text, "283400"},
    FieldInfo{Field::Cuts, "cuts", FieldKind::Text, "9875"},
    FieldInfo{Field::FailedCuts, "failedcuts", FieldKind::Text, "2"},
    FieldInfo{Field::Installed, "installed", FieldKind::Text, "2023-03-14"},
    FieldInfo{Field::Language, "language", FieldKind::Text, "MULTILINGUAL"},
    FieldInfo{Field::CodePage, "codepage", FieldKind::Text, "0"},
    FieldInfo{Field::CodePageName, "codepagename", FieldKind::Text, "STANDARD"},
    FieldInfo{Field::InterChars, "interchars", FieldKind::Text, "0"},
    FieldInfo{Field::Density, "density", FieldKind::Text, "0"},
    FieldInfo{Field::New8x16, "new8x16", FieldKind::OnOff, "off"},
    FieldInfo{Field::Thai, "thai", FieldKind::Text, "255"},
    FieldInfo{Field::Sw1, "sw1", FieldKind::Byte, "0"},
    FieldInfo{Field::Sw2, "sw2", FieldKind::Byte, "0"},
    FieldInfo{Field::Sw3, "sw3", FieldKind::Byte, "0"},
    FieldInfo{Field::Sw4, "sw4", FieldKind::Byte, "0"},
    // The states behind the status replies.
    FieldInfo{Field::Paper, "paper", FieldKind::Choice, "ok", "ok|near-end|out"},
    FieldInfo{Field::Cover, "cover", FieldKind::Choice, "closed", "closed|open"},
    FieldInfo{Field::Drawer, "drawer", FieldKind::Choice, "closed", "closed|open"},
    FieldInfo{Field::Online, "online", FieldKind::Choice, "yes", "yes|no"},
};

inline constexpr std::size_t kFieldCount = kFields.size();

constexpr const FieldInfo& fieldInfo(Field field) { return kFields[static_cast<std::size_t>(field)]; }

std::optional<Field> fieldByKey(std::string_view key);

// Models that have a print density setting and models that print Thai; the
// others do not answer those queries.
inline constexpr std::array<std::string_view, 3> kDensityModels{"KR-2250", "KR-1350E", "KR-4050"};
inline constexpr std::array<std::string_view, 1> kThaiModels{"KR-5050"};

class PrinterState {
public:
    PrinterState();

    const std::string& value(Field field) const { return m_values[static_cast<std::size_t>(field)]; }

    // Sets a value after checking it against its field kind. Returns the
    // reason when the value is refused, empty text when it was taken.
    std::string set(Field field, std::string_view value);
    std::string set(std::string_view key, std::string_view value);

    bool new8x16On() const { return value(Field::New8x16) == "on"; }
    bool paperOut() const { return value(Field::Paper) == "out"; }
    bool hasDensity() const;
    bool hasThai() const;

    // Adds one to a counter held as decimal digits, keeping its width
    // ("0099" becomes "0100"); a counter set to other text stays as it is.
    void countUp(Field field);

private:
    std::array<std::string, kFieldCount> m_values;
};

}  // namespace emulator
