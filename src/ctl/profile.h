#pragma once
// A printer's settings kept as a file: the model they were read from, the
// settings a write can set, and identity and counters as information.

#include "ctl/readout.h"

#include <QJsonObject>

#include <map>
#include <optional>
#include <string>

namespace softswitch::ctl {

inline constexpr const char* kProfileFormat = "softswitch-profile/1";

struct Profile {
    std::string model;
    std::map<std::string, std::string> settings; // by the names of kSettingNames
};

// The family a model's settings belong to: the first of the window's switch
// families that holds, else the language trio, else the model itself.
std::string familyOf(const std::string& model);

QJsonObject profileJson(const Readout& readout, const std::string& target);
// Nothing, with the reason, when the document is not a profile this program writes.
std::optional<Profile> parseProfile(const QByteArray& document, std::string& why);

// The readout as JSON: captions are left to the text output, keys name values.
QJsonObject readoutJson(const Readout& readout);

QString latin1(const std::string& text);

} // namespace softswitch::ctl
