#pragma once
// What softswitchctl does to one target, and running that for many targets
// at once: one worker thread per link that can be used in parallel, each with
// its own window model and platform objects, since the core is single-threaded.

#include "ctl/printersession.h"
#include "ctl/profile.h"
#include "ctl/readout.h"
#include "ctl/target.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace softswitch::ctl {

// Runs work(i) for every target: targets on one device (lane) one after
// another, at most `jobs` lanes at a time.
void runConcurrently(const std::vector<Target>& targets, int jobs, const std::function<void(std::size_t)>& work);

struct ReadResult {
    bool ok = false;
    std::string why;   // the failure, when not ok
    std::string notes; // messages of a test that still finished
    Readout readout;
};
ReadResult readTarget(const Target& target, const SessionOptions& options);

struct SettingDiff {
    std::string name;
    std::string profile;
    std::optional<std::string> printer; // nothing: not read on this printer
    bool differs() const { return printer && *printer != profile; }
};
// Every setting of the profile against what the printer reports.
std::vector<SettingDiff> compare(const Profile& profile, const Readout& readout);

enum class ApplyStatus { Unchanged, WouldWrite, Confirmed, NotConfirmed, Failed };
const char* statusText(ApplyStatus status);

struct ApplyResult {
    ApplyStatus status = ApplyStatus::Failed;
    std::string why;
    std::string model;
    std::vector<SettingDiff> changes; // what differed and was (or would be) written
};
struct ApplyOptions {
    bool dryRun = false;
    bool force = false;
};
ApplyResult applyProfile(const Target& target, const Profile& profile, const ApplyOptions& apply,
                         const SessionOptions& options);

struct Found {
    Target target;
    Identity identity;
};
// Asks the maker query at the target, and at each speed of a serial target
// in the window's order; the first that answers as the maker.
std::optional<Found> discoverTarget(const Target& target, const SessionOptions& options);

} // namespace softswitch::ctl
