#pragma once
// What a Communication Test read from one printer, as the window shows it:
// the captions beside the values, the values, each switch with the text of
// every bit for this model. A value the printer was not asked for, or did not
// answer, is absent ("not read"), never 0.

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace softswitch::ctl {

struct Field {
    std::string key;     // stable name for JSON and profiles ("codePage")
    std::string caption; // the caption the window shows beside it ("Code Page: ")
    std::optional<std::string> value;
};

struct SwitchBit {
    bool off = false;  // a 1 bit: the OFF button selected
    std::string text;  // the catalogue's text for this state on this model
};

struct SwitchState {
    std::optional<int> value;
    bool locked = false; // the window lets nobody change it on this model
    std::array<SwitchBit, 8> bits;
};

struct Identity {
    std::string model;
    std::string firmware;
    std::string serial;
};

struct Readout {
    std::vector<Field> identity; // model, firmware, serial number
    std::vector<Field> counters;
    std::vector<Field> language;
    std::array<SwitchState, 4> switches;

    std::string model() const;
    // The settings a write can set, by name ("switch1".."switch4",
    // "codePage", "interChars", "density", "new8x16", "thai"), those read only.
    std::map<std::string, std::string> settings() const;
};

// The writable settings in the order they are listed and written.
inline constexpr const char* kSettingNames[] = {"switch1", "switch2", "switch3", "switch4",
                                                "codePage", "interChars", "density", "new8x16", "thai"};
// The language settings among them: one write sends them all.
bool isLanguageSetting(const std::string& name);
// 1..4 for "switch1".."switch4", 0 for any other name.
int switchNumber(const std::string& name);

} // namespace softswitch::ctl
