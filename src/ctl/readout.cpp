#include "ctl/readout.h"

#include <algorithm>
#include <string_view>

namespace softswitch::ctl {

namespace {

constexpr std::string_view kLanguageSettings[] = {"codePage", "interChars", "density", "new8x16", "thai"};

const Field* find(const std::vector<Field>& fields, std::string_view key)
{
    for (const Field& field : fields)
        if (field.key == key)
            return &field;
    return nullptr;
}

} // namespace

bool isLanguageSetting(const std::string& name)
{
    return std::find(std::begin(kLanguageSettings), std::end(kLanguageSettings), name) != std::end(kLanguageSettings);
}

int switchNumber(const std::string& name)
{
    if (name.size() == 7 && name.rfind("switch", 0) == 0 && name[6] >= '1' && name[6] <= '4')
        return name[6] - '0';
    return 0;
}

std::string Readout::model() const
{
    const Field* field = find(identity, "model");
    return field && field->value ? *field->value : std::string();
}

std::map<std::string, std::string> Readout::settings() const
{
    std::map<std::string, std::string> values;
    for (std::size_t sw = 0; sw < switches.size(); ++sw)
        if (switches[sw].value)
            values["switch" + std::to_string(sw + 1)] = std::to_string(*switches[sw].value);
    for (std::string_view key : kLanguageSettings)
        if (const Field* field = find(language, key); field && field->value)
            values[std::string(key)] = *field->value;
    return values;
}

} // namespace softswitch::ctl
