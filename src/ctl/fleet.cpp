#include "ctl/fleet.h"

#include <QThread>

#include <atomic>
#include <map>
#include <memory>

namespace softswitch::ctl {

void runConcurrently(const std::vector<Target>& targets, int jobs, const std::function<void(std::size_t)>& work)
{
    std::vector<std::vector<std::size_t>> lanes;
    std::map<std::string, std::size_t> laneOf;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const auto [it, added] = laneOf.try_emplace(targets[i].laneKey(), lanes.size());
        if (added)
            lanes.emplace_back();
        lanes[it->second].push_back(i);
    }
    std::atomic<std::size_t> next{0};
    const auto worker = [&] {
        for (std::size_t lane; (lane = next++) < lanes.size();)
            for (std::size_t i : lanes[lane])
                work(i);
    };
    // QThread, not std::thread: the sockets and timers need the thread's own event dispatcher.
    std::vector<std::unique_ptr<QThread>> threads;
    const std::size_t count = std::min(lanes.size(), static_cast<std::size_t>(std::max(jobs, 1)));
    for (std::size_t t = 0; t < count; ++t) {
        threads.emplace_back(QThread::create(worker));
        threads.back()->start();
    }
    for (auto& thread : threads)
        thread->wait();
}

ReadResult readTarget(const Target& target, const SessionOptions& options)
{
    ReadResult result;
    try {
        PrinterSession session(target, options);
        result.ok = session.communicationTest(result.why);
        if (result.ok) {
            result.readout = session.readout();
            result.notes = session.takeFailures();
        }
    } catch (const std::exception& failure) {
        result.ok = false;
        result.why = failure.what();
    }
    return result;
}

std::vector<SettingDiff> compare(const Profile& profile, const Readout& readout)
{
    const std::map<std::string, std::string> printer = readout.settings();
    std::vector<SettingDiff> diffs;
    for (const char* name : kSettingNames) {
        const auto wanted = profile.settings.find(name);
        if (wanted == profile.settings.end())
            continue;
        const auto now = printer.find(name);
        diffs.push_back({name, wanted->second,
                         now == printer.end() ? std::nullopt : std::optional<std::string>(now->second)});
    }
    return diffs;
}

const char* statusText(ApplyStatus status)
{
    switch (status) {
    case ApplyStatus::Unchanged:
        return "unchanged";
    case ApplyStatus::WouldWrite:
        return "would write";
    case ApplyStatus::Confirmed:
        return "written and confirmed";
    case ApplyStatus::NotConfirmed:
        return "written but not confirmed";
    case ApplyStatus::Failed:
        return "failed";
    }
    return "";
}

namespace {

// The write of what differs, then the read-back; the session has passed its test.
void writeChanges(PrinterSession& session, const Readout& before, ApplyResult& result)
{
    std::vector<int> tabs;
    std::map<std::string, std::string> language;
    bool languageChanged = false;
    for (const SettingDiff& change : result.changes) {
        if (const int sw = switchNumber(change.name); sw > 0) {
            session.writeSwitch(sw, std::stoi(change.profile));
            tabs.push_back(sw);
            if (std::string failure = session.takeFailures(); !failure.empty()) {
                result.why = "writing " + change.name + ": " + failure;
                return;
            }
        } else {
            languageChanged = true;
        }
    }
    if (languageChanged) {
        // One write sends every language setting: those not in the profile
        // keep the printer's value.
        language = before.settings();
        for (const SettingDiff& change : result.changes)
            if (isLanguageSetting(change.name))
                language[change.name] = change.profile;
        std::erase_if(language, [](const auto& entry) { return !isLanguageSetting(entry.first); });
        std::string why;
        if (!session.writeLanguage(language, why)) {
            result.why = "writing the language settings: " + why;
            return;
        }
        tabs.push_back(kLanguageTab);
        if (std::string failure = session.takeFailures(); !failure.empty()) {
            result.why = "writing the language settings: " + failure;
            return;
        }
    }

    const Readout after = session.readBack(tabs);
    const std::map<std::string, std::string> now = after.settings();
    std::string unconfirmed;
    for (const SettingDiff& change : result.changes) {
        const auto read = now.find(change.name);
        if (read == now.end())
            unconfirmed += (unconfirmed.empty() ? "" : ", ") + change.name + " not read back";
        else if (read->second != change.profile)
            unconfirmed += (unconfirmed.empty() ? "" : ", ") + change.name + " reads " + read->second;
    }
    if (std::string failure = session.takeFailures(); !failure.empty())
        unconfirmed += (unconfirmed.empty() ? "" : "; ") + failure;
    result.status = unconfirmed.empty() ? ApplyStatus::Confirmed : ApplyStatus::NotConfirmed;
    result.why = unconfirmed;
}

} // namespace

ApplyResult applyProfile(const Target& target, const Profile& profile, const ApplyOptions& apply,
                         const SessionOptions& options)
{
    ApplyResult result;
    try {
        PrinterSession session(target, options);
        if (!session.communicationTest(result.why))
            return result;
        session.takeFailures();
        const Readout before = session.readout();
        result.model = before.model();
        if (familyOf(profile.model) != familyOf(result.model) && !apply.force) {
            result.why = "the profile is for " + profile.model + " (" + familyOf(profile.model) + "), the printer is "
                         + result.model + " (" + familyOf(result.model) + "); --force writes it anyway";
            return result;
        }
        for (const SettingDiff& diff : compare(profile, before)) {
            if (!diff.differs())
                continue;
            const int sw = switchNumber(diff.name);
            if (sw > 0 && before.switches.at(static_cast<std::size_t>(sw - 1)).locked) {
                result.why = diff.name + " cannot be changed on a " + result.model;
                return result;
            }
            result.changes.push_back(diff);
        }
        if (result.changes.empty()) {
            result.status = ApplyStatus::Unchanged;
            return result;
        }
        if (apply.dryRun) {
            result.status = ApplyStatus::WouldWrite;
            return result;
        }
        writeChanges(session, before, result);
    } catch (const std::exception& failure) {
        result.status = ApplyStatus::Failed;
        result.why = failure.what();
    }
    return result;
}

std::optional<Found> discoverTarget(const Target& target, const SessionOptions& options)
{
    std::vector<Target> tries{target};
    if (target.kind == LinkKind::Serial) {
        tries.clear();
        for (int baud : kBaudRates) {
            Target atSpeed = target;
            atSpeed.baud = baud;
            tries.push_back(atSpeed);
        }
    }
    for (const Target& attempt : tries) {
        PrinterSession session(attempt, options);
        Identity identity;
        if (session.identify(identity))
            return Found{attempt, identity};
    }
    return std::nullopt;
}

} // namespace softswitch::ctl
