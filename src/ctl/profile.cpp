#include "ctl/profile.h"

#include "catalogue/modelfamilies.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace softswitch::ctl {

namespace {

QJsonObject fieldsJson(const std::vector<Field>& fields)
{
    QJsonObject object;
    for (const Field& field : fields)
        object.insert(latin1(field.key), field.value ? QJsonValue(latin1(*field.value)) : QJsonValue());
    return object;
}

} // namespace

QString latin1(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string familyOf(const std::string& model)
{
    const std::pair<Family, const char*> families[] = {
        {Family::KR31Group, "KR-31 group"},
        {Family::KR5050Group, "KR-5050 group"},
        {Family::ZQGenericModels, "ZQ generic models"},
        {Family::LanguageTrio, "Language trio"},
    };
    for (const auto& [family, name] : families)
        if (InFamily(model, family))
            return name;
    return "model " + model;
}

QJsonObject readoutJson(const Readout& readout)
{
    QJsonObject object;
    object.insert("model", latin1(readout.model()));
    object.insert("family", latin1(familyOf(readout.model())));
    object.insert("identity", fieldsJson(readout.identity));
    object.insert("counters", fieldsJson(readout.counters));
    object.insert("language", fieldsJson(readout.language));
    QJsonArray switches;
    for (std::size_t sw = 0; sw < readout.switches.size(); ++sw) {
        const SwitchState& state = readout.switches[sw];
        QJsonObject entry{{"switch", static_cast<int>(sw + 1)}, {"read", state.value.has_value()},
                          {"locked", state.locked}};
        entry.insert("value", state.value ? QJsonValue(*state.value) : QJsonValue());
        if (state.value) {
            QJsonArray bits;
            for (std::size_t i = 0; i < state.bits.size(); ++i)
                bits.append(QJsonObject{{"bit", static_cast<int>(i + 1)},
                                        {"state", state.bits[i].off ? "OFF" : "ON"},
                                        {"text", latin1(state.bits[i].text)}});
            entry.insert("bits", bits);
        }
        switches.append(entry);
    }
    object.insert("switches", switches);
    return object;
}

QJsonObject profileJson(const Readout& readout, const std::string& target)
{
    QJsonObject settings;
    for (const auto& [name, value] : readout.settings()) {
        if (switchNumber(name) > 0)
            settings.insert(latin1(name), std::stoi(value));
        else
            settings.insert(latin1(name), latin1(value));
    }
    std::vector<Field> language;
    for (const Field& field : readout.language)
        if (!isLanguageSetting(field.key))
            language.push_back(field);
    return QJsonObject{
        {"format", kProfileFormat},
        {"model", latin1(readout.model())},
        {"family", latin1(familyOf(readout.model()))},
        {"settings", settings},
        {"information", QJsonObject{{"readFrom", latin1(target)},
                                    {"identity", fieldsJson(readout.identity)},
                                    {"counters", fieldsJson(readout.counters)},
                                    {"language", fieldsJson(language)}}},
    };
}

std::optional<Profile> parseProfile(const QByteArray& document, std::string& why)
{
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(document, &error);
    if (json.isNull()) {
        why = "not JSON: " + error.errorString().toStdString();
        return std::nullopt;
    }
    const QJsonObject root = json.object();
    if (root.value("format").toString() != kProfileFormat) {
        why = std::string("not a profile: \"format\" must be \"") + kProfileFormat + "\"";
        return std::nullopt;
    }
    if (!root.value("model").isString() || !root.value("settings").isObject()) {
        why = "the profile needs a \"model\" text and a \"settings\" object";
        return std::nullopt;
    }
    Profile profile;
    profile.model = root.value("model").toString().toLatin1().toStdString();
    const QJsonObject settings = root.value("settings").toObject();
    for (auto it = settings.begin(); it != settings.end(); ++it) {
        const std::string name = it.key().toStdString();
        if (switchNumber(name) > 0) {
            const int value = it.value().toInt(-1);
            if (!it.value().isDouble() || value < 0 || value > 255 || it.value().toDouble() != value) {
                why = name + " must be a whole number from 0 to 255";
                return std::nullopt;
            }
            profile.settings[name] = std::to_string(value);
        } else if (isLanguageSetting(name) && it.value().isString()) {
            profile.settings[name] = it.value().toString().toLatin1().toStdString();
        } else {
            why = "unknown setting \"" + name + "\"";
            return std::nullopt;
        }
    }
    return profile;
}

} // namespace softswitch::ctl
