#include "printerstate.h"

#include <algorithm>

namespace emulator {

namespace {

bool allDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

template <std::size_t N>
bool listed(const std::array<std::string_view, N>& models, std::string_view model)
{
    return std::find(models.begin(), models.end(), model) != models.end();
}

}  // namespace

std::optional<Field> fieldByKey(std::string_view key)
{
    for (const FieldInfo& info : kFields) {
        if (info.key == key)
            return info.field;
    }
    return std::nullopt;
}

PrinterState::PrinterState()
{
    for (const FieldInfo& info : kFields)
        m_values[static_cast<std::size_t>(info.field)] = std::string(info.defaultValue);
}

std::string PrinterState::set(Field field, std::string_view value)
{
    const FieldInfo& info = fieldInfo(field);
    switch (info.kind) {
    case FieldKind::Text:
        if (value.find('\0') != std::string_view::npos)
            return std::string(info.key) + ": a NUL byte would end the reply";
        break;
    case FieldKind::Byte:
        // At most three digits, so a long run of digits cannot overflow.
        if (!allDigits(value) || value.size() > 3 || std::stoi(std::string(value)) > 255)
            return std::string(info.key) + ": expected a number 0..255, got \"" + std::string(value) + "\"";
        // Stored without leading zeros: the printer answers the plain number.
        m_values[static_cast<std::size_t>(field)] = std::to_string(std::stoi(std::string(value)));
        return {};
    case FieldKind::OnOff:
        if (value != "on" && value != "off")
            return std::string(info.key) + ": expected on or off, got \"" + std::string(value) + "\"";
        break;
    case FieldKind::Choice: {
        bool listed = false;
        for (std::string_view rest = info.choices; !rest.empty() && !listed;) {
            const std::size_t bar = rest.find('|');
            listed = rest.substr(0, bar) == value;
            rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
        }
        if (!listed)
            return std::string(info.key) + ": expected one of " + std::string(info.choices) + ", got \"" +
                   std::string(value) + "\"";
        break;
    }
    }
    m_values[static_cast<std::size_t>(field)] = std::string(value);
    return {};
}

std::string PrinterState::set(std::string_view key, std::string_view value)
{
    const std::optional<Field> field = fieldByKey(key);
    if (!field)
        return "unknown key \"" + std::string(key) + "\"";
    return set(*field, value);
}

bool PrinterState::hasDensity() const { return listed(kDensityModels, value(Field::Model)); }

bool PrinterState::hasThai() const { return listed(kThaiModels, value(Field::Model)); }

void PrinterState::countUp(Field field)
{
    std::string& text = m_values[static_cast<std::size_t>(field)];
    if (!allDigits(text))
        return;
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    text.insert(text.begin(), '1');
}

}  // namespace emulator
