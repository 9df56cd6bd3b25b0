// softswitchctl: the fleet command line. Finds printers, reads them, keeps a
// printer's settings as a profile, compares and applies it, over the same
// window model, queries, catalogue texts and writes as the window.

#include "ctl/fleet.h"
#include "platform/qt/portoptions.h"
#include "platform/qt/qtserialport.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

using namespace softswitch;
using namespace softswitch::ctl;

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kDefaultJobs = 100;
constexpr std::chrono::milliseconds kDefaultConnectLimit{1000};

constexpr const char* kUsage =
    "usage: softswitchctl discover [--tcp RANGE]... [--serial] [--json] [--jobs N] [--timeout MS]\n"
    "       softswitchctl read   TARGET... [--json]\n"
    "       softswitchctl save   TARGET FILE\n"
    "       softswitchctl diff   FILE TARGET... [--json]\n"
    "       softswitchctl apply  FILE TARGET... [--dry-run] [--force] [--json]\n"
    "       softswitchctl --help | --version\n";

constexpr const char* kHelp =
    "\n"
    "Finds the printers of a fleet, reads them, keeps one printer's settings as a\n"
    "profile and applies it to others, with the same queries, texts and write\n"
    "commands as the window.\n"
    "\n"
    "commands:\n"
    "  discover          scan TCP ranges and serial ports for printers of the maker;\n"
    "                    one line per printer: target, model, serial number, firmware\n"
    "  read              identity, counters, language settings and the four switches,\n"
    "                    each bit with its meaning for the model; \"not read\" where\n"
    "                    the model reads nothing\n"
    "  save              write the printer's settings to FILE as a profile\n"
    "  diff              per target and setting, the profile's value and the printer's;\n"
    "                    exits 1 when any differ\n"
    "  apply             write the settings that differ, read them back and report:\n"
    "                    unchanged, written and confirmed, written but not confirmed,\n"
    "                    failed\n"
    "\n"
    "targets:\n"
    "  tcp:HOST[:PORT]   TCP/IP, port 9100 unless given\n"
    "  com:N[@SETTINGS]  serial port COM1..COM16\n"
    "  serial:PATH[@SETTINGS]\n"
    "                    a serial device by its path\n"
    "                    SETTINGS: BAUD[,PARITY[,HANDSHAKE]], BAUD 115200, 38400, 19200\n"
    "                    or 9600, PARITY N or E, HANDSHAKE DTR/DSR or XON/XOFF\n"
    "  usb               the maker's transport library (./libKR5050.so)\n"
    "  lpt[:PATH]        the parallel port (/dev/lp0 unless given)\n"
    "\n"
    "options:\n"
    "  --tcp RANGE       discover: HOST, A.B.C.D-E or A.B.C.D/N, with an optional :PORT;\n"
    "                    repeatable\n"
    "  --serial          discover: every COM port present, at 115200, 38400, 19200, 9600\n"
    "  --jobs N          targets handled at once (default 100); one at a time per\n"
    "                    serial port, USB and parallel port\n"
    "  --timeout MS      how long a TCP connection may take to come up (default 1000)\n"
    "  --json            one JSON document on standard output\n"
    "  --dry-run         apply: say what would be written, write nothing\n"
    "  --force           apply: write a profile read from another model family\n"
    "  --com N=PATH      use PATH as serial port N\n"
    "  --lpt PATH        use PATH as the parallel port\n"
    "  --help            show this text\n"
    "  --version         show the version\n"
    "\n"
    "exit status: 0 all done (diff: no difference), 1 a target failed or differs,\n"
    "2 usage error.\n";

constexpr const char* kRepowerReminder =
    "Switch the written printers off and on: they take the new settings when they start again.";

struct Options {
    std::string command;
    std::vector<std::string> positional;
    std::vector<std::string> ranges;
    bool serial = false;
    bool json = false;
    bool dryRun = false;
    bool force = false;
    int jobs = kDefaultJobs;
    SessionOptions session;
};

int usage(const std::string& why)
{
    std::cerr << "softswitchctl: " << why << '\n' << kUsage;
    return kExitUsage;
}

// Which flags each command takes.
struct CommandFlags {
    const char* command;
    const char* flags; // blank-separated
};
constexpr CommandFlags kCommandFlags[] = {
    {"discover", "--tcp --serial --json --jobs --timeout"},
    {"read", "--json --jobs --timeout"},
    {"save", "--timeout"},
    {"diff", "--json --jobs --timeout"},
    {"apply", "--json --jobs --timeout --dry-run --force"},
};

bool takes(const std::string& command, const std::string& flag)
{
    for (const CommandFlags& entry : kCommandFlags)
        if (command == entry.command)
            return (std::string(" ") + entry.flags + " ").find(" " + flag + " ") != std::string::npos;
    return false;
}

bool positiveNumber(const std::string& text, int& value)
{
    try {
        std::size_t used = 0;
        value = std::stoi(text, &used);
        return used == text.size() && value > 0;
    } catch (const std::exception&) {
        return false;
    }
}

// 0 when the options are good, else the exit status of the usage error.
int parseOptions(const std::vector<std::string>& args, Options& options)
{
    PortOptions ports;
    std::string why;
    if (!parsePortOptions(args, ports, why))
        return usage(why);
    options.session.comPaths = ports.comPaths;
    options.session.lptPath = ports.lptPath;
    options.session.connectLimit = kDefaultConnectLimit;
    const std::vector<std::string>& rest = ports.rest;
    if (rest.empty())
        return usage("a command is needed");
    options.command = rest[0];
    if (!takes(options.command, "--json") && !takes(options.command, "--timeout"))
        return usage("unknown command \"" + options.command + "\"");
    for (std::size_t i = 1; i < rest.size(); ++i) {
        const std::string& arg = rest[i];
        if (arg.rfind("--", 0) != 0) {
            options.positional.push_back(arg);
            continue;
        }
        if (!takes(options.command, arg))
            return usage(options.command + " takes no option " + arg);
        const bool valued = arg == "--tcp" || arg == "--jobs" || arg == "--timeout";
        if (valued && i + 1 >= rest.size())
            return usage(arg + " needs a value");
        int number = 0;
        if (arg == "--tcp") {
            options.ranges.push_back(rest[++i]);
        } else if (arg == "--jobs" || arg == "--timeout") {
            if (!positiveNumber(rest[++i], number))
                return usage(arg + " needs a positive whole number, not \"" + rest[i] + "\"");
            if (arg == "--jobs")
                options.jobs = number;
            else
                options.session.connectLimit = std::chrono::milliseconds(number);
        } else if (arg == "--serial") {
            options.serial = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--dry-run") {
            options.dryRun = true;
        } else if (arg == "--force") {
            options.force = true;
        }
    }
    return 0;
}

int parseTargets(const std::vector<std::string>& texts, std::vector<Target>& targets)
{
    for (const std::string& text : texts) {
        std::string why;
        const auto target = parseTarget(text, why);
        if (!target)
            return usage("bad target \"" + text + "\": " + why);
        targets.push_back(*target);
    }
    if (targets.empty())
        return usage("no target given");
    return 0;
}

void printJson(const QJsonValue& value)
{
    const QJsonDocument document = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    std::cout << document.toJson(QJsonDocument::Indented).toStdString();
}

void printError(const Target& target, const std::string& why, const char* what = "error")
{
    std::cout.flush();
    std::cerr << target.name() << ": " << what << ": " << why << std::endl;
}

std::string shown(const std::optional<std::string>& value)
{
    return value ? *value : "not read";
}

void printReadout(const Target& target, const ReadResult& result)
{
    const Readout& readout = result.readout;
    std::cout << target.name() << ": " << readout.model() << '\n';
    for (const auto* fields : {&readout.identity, &readout.counters, &readout.language})
        for (const Field& field : *fields)
            std::cout << "  " << field.caption << shown(field.value) << '\n';
    for (std::size_t sw = 0; sw < readout.switches.size(); ++sw) {
        const SwitchState& state = readout.switches[sw];
        std::cout << "  Soft switch " << sw + 1 << ": ";
        if (!state.value) {
            std::cout << "not read\n";
            continue;
        }
        std::string bits;
        for (int i = 7; i >= 0; --i)
            bits += state.bits.at(static_cast<std::size_t>(i)).off ? '1' : '0';
        std::cout << *state.value << " (" << bits << ")" << (state.locked ? ", locked on this model" : "") << '\n';
        for (std::size_t i = 0; i < state.bits.size(); ++i)
            std::cout << "    " << i + 1 << ": " << (state.bits[i].off ? "OFF" : "ON ") << "  " << state.bits[i].text
                      << '\n';
    }
    if (!result.notes.empty())
        std::cout << "  note: " << result.notes << '\n';
}

std::vector<Target> rangeTargets(const Options& options, int& status)
{
    std::vector<Target> targets;
    for (const std::string& range : options.ranges) {
        std::string why;
        const auto addresses = parseRange(range, why);
        if (!addresses) {
            status = usage("bad range \"" + range + "\": " + why);
            return {};
        }
        targets.insert(targets.end(), addresses->begin(), addresses->end());
    }
    if (options.serial) {
        for (int com = 1; com <= 16; ++com) {
            const std::string path = QtSerialPort::devicePath(com, options.session.comPaths);
            if (path.empty() || !std::filesystem::exists(path))
                continue;
            Target target;
            target.kind = LinkKind::Serial;
            target.comNumber = com;
            targets.push_back(target);
        }
    }
    return targets;
}

int discover(const Options& options)
{
    if (!options.positional.empty())
        return usage("discover takes no target; name ranges with --tcp");
    if (options.ranges.empty() && !options.serial)
        return usage("discover needs --tcp RANGE or --serial");
    int status = 0;
    const std::vector<Target> targets = rangeTargets(options, status);
    if (status != 0)
        return status;
    std::vector<std::optional<Found>> found(targets.size());
    runConcurrently(targets, options.jobs,
                    [&](std::size_t i) { found[i] = discoverTarget(targets[i], options.session); });
    QJsonArray printers;
    for (const auto& printer : found) {
        if (!printer)
            continue;
        const Identity& id = printer->identity;
        if (options.json)
            printers.append(QJsonObject{{"target", latin1(printer->target.name())},
                                        {"model", latin1(id.model)},
                                        {"serialNumber", latin1(id.serial)},
                                        {"firmware", latin1(id.firmware)}});
        else
            std::cout << printer->target.name() << "  " << id.model << "  " << id.serial << "  " << id.firmware << '\n';
    }
    if (options.json)
        printJson(printers);
    return kExitDone;
}

int read(const Options& options)
{
    std::vector<Target> targets;
    if (const int status = parseTargets(options.positional, targets))
        return status;
    std::vector<ReadResult> results(targets.size());
    runConcurrently(targets, options.jobs, [&](std::size_t i) { results[i] = readTarget(targets[i], options.session); });
    QJsonArray array;
    int status = kExitDone;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (!results[i].ok)
            status = kExitFailed;
        if (options.json) {
            QJsonObject entry = results[i].ok ? readoutJson(results[i].readout) : QJsonObject();
            entry.insert("target", latin1(targets[i].name()));
            entry.insert("ok", results[i].ok);
            if (!results[i].ok)
                entry.insert("error", latin1(results[i].why));
            else if (!results[i].notes.empty())
                entry.insert("notes", latin1(results[i].notes));
            array.append(entry);
        } else if (results[i].ok) {
            printReadout(targets[i], results[i]);
        } else {
            printError(targets[i], results[i].why);
        }
    }
    if (options.json)
        printJson(array);
    return status;
}

int save(const Options& options)
{
    if (options.positional.size() != 2)
        return usage("save takes one TARGET and one FILE");
    std::vector<Target> targets;
    if (const int status = parseTargets({options.positional[0]}, targets))
        return status;
    const ReadResult result = readTarget(targets[0], options.session);
    if (!result.ok) {
        printError(targets[0], result.why);
        return kExitFailed;
    }
    const QByteArray document = QJsonDocument(profileJson(result.readout, targets[0].name())).toJson();
    QFile file(QString::fromStdString(options.positional[1]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(document) != document.size()) {
        std::cerr << "softswitchctl: cannot write " << options.positional[1] << '\n';
        return kExitFailed;
    }
    std::cout << targets[0].name() << ": " << result.readout.model() << " saved to " << options.positional[1] << '\n';
    return kExitDone;
}

// The profile named first, and the targets after it; 0 or the exit status.
int profileAndTargets(const Options& options, Profile& profile, std::vector<Target>& targets)
{
    if (options.positional.size() < 2)
        return usage(options.command + " takes a profile FILE and at least one TARGET");
    QFile file(QString::fromStdString(options.positional[0]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::cerr << "softswitchctl: cannot read " << options.positional[0] << '\n';
        return kExitUsage;
    }
    std::string why;
    const auto parsed = parseProfile(file.readAll(), why);
    if (!parsed) {
        std::cerr << "softswitchctl: " << options.positional[0] << ": " << why << '\n';
        return kExitUsage;
    }
    profile = *parsed;
    return parseTargets({options.positional.begin() + 1, options.positional.end()}, targets);
}

QJsonObject diffJson(const SettingDiff& diff)
{
    return QJsonObject{{"setting", latin1(diff.name)},
                       {"profile", latin1(diff.profile)},
                       {"printer", diff.printer ? QJsonValue(latin1(*diff.printer)) : QJsonValue()},
                       {"differs", diff.differs()}};
}

int diff(const Options& options)
{
    Profile profile;
    std::vector<Target> targets;
    if (const int status = profileAndTargets(options, profile, targets))
        return status;
    std::vector<ReadResult> results(targets.size());
    runConcurrently(targets, options.jobs, [&](std::size_t i) { results[i] = readTarget(targets[i], options.session); });
    int status = kExitDone;
    QJsonArray array;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        QJsonObject entry{{"target", latin1(targets[i].name())}, {"ok", results[i].ok}};
        if (!results[i].ok) {
            status = kExitFailed;
            entry.insert("error", latin1(results[i].why));
            if (!options.json)
                printError(targets[i], results[i].why);
            array.append(entry);
            continue;
        }
        const std::vector<SettingDiff> diffs = compare(profile, results[i].readout);
        bool differs = false;
        QJsonArray settings;
        if (!options.json)
            std::cout << targets[i].name() << ": " << results[i].readout.model() << '\n';
        for (const SettingDiff& setting : diffs) {
            differs = differs || setting.differs();
            settings.append(diffJson(setting));
            if (!options.json)
                std::cout << "  " << setting.name << ": profile " << setting.profile << ", printer "
                          << shown(setting.printer)
                          << (setting.differs() ? "  differs" : setting.printer ? "" : "  (not compared)") << '\n';
        }
        if (differs)
            status = kExitFailed;
        entry.insert("model", latin1(results[i].readout.model()));
        entry.insert("differs", differs);
        entry.insert("settings", settings);
        array.append(entry);
    }
    if (options.json)
        printJson(array);
    return status;
}

std::string changeList(const std::vector<SettingDiff>& changes)
{
    std::string list;
    for (const SettingDiff& change : changes)
        list += (list.empty() ? "" : ", ") + change.name + " " + shown(change.printer) + " -> " + change.profile;
    return list;
}

int apply(const Options& options)
{
    Profile profile;
    std::vector<Target> targets;
    if (const int status = profileAndTargets(options, profile, targets))
        return status;
    std::vector<ApplyResult> results(targets.size());
    const ApplyOptions how{options.dryRun, options.force};
    runConcurrently(targets, options.jobs,
                    [&](std::size_t i) { results[i] = applyProfile(targets[i], profile, how, options.session); });
    int status = kExitDone;
    bool written = false;
    QJsonArray array;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const ApplyResult& result = results[i];
        const bool wrote = result.status == ApplyStatus::Confirmed || result.status == ApplyStatus::NotConfirmed;
        written = written || wrote;
        if (result.status == ApplyStatus::Failed || result.status == ApplyStatus::NotConfirmed)
            status = kExitFailed;
        QJsonArray changes;
        for (const SettingDiff& change : result.changes)
            changes.append(diffJson(change));
        array.append(QJsonObject{{"target", latin1(targets[i].name())},
                                 {"model", latin1(result.model)},
                                 {"status", statusText(result.status)},
                                 {"changed", wrote},
                                 {"why", latin1(result.why)},
                                 {"changes", changes}});
        if (options.json)
            continue;
        if (result.status == ApplyStatus::Failed) {
            printError(targets[i], result.why, "failed");
            continue;
        }
        std::cout << targets[i].name() << ": " << statusText(result.status);
        if (!result.changes.empty())
            std::cout << " (" << changeList(result.changes) << ")";
        if (!result.why.empty())
            std::cout << ": " << result.why;
        std::cout << '\n';
    }
    if (options.json) {
        printJson(QJsonObject{{"changed", written}, {"dryRun", options.dryRun}, {"targets", array},
                              {"reminder", written ? kRepowerReminder : ""}});
    } else if (written) {
        std::cout << kRepowerReminder << '\n';
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The printer's numbers are read with a decimal point whatever the user's language.
    std::setlocale(LC_NUMERIC, "C");
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& arg : args) {
        if (arg == "--help") {
            std::cout << kUsage << kHelp;
            return kExitDone;
        }
        if (arg == "--version") {
            std::cout << "softswitchctl " << kAppVersion << '\n';
            return kExitDone;
        }
    }
    Options options;
    if (const int status = parseOptions(args, options))
        return status;
    using Command = int (*)(const Options&);
    const std::pair<const char*, Command> commands[] = {
        {"discover", discover}, {"read", read}, {"save", save}, {"diff", diff}, {"apply", apply},
    };
    for (const auto& [name, run] : commands)
        if (options.command == name)
            return run(options);
    return usage("unknown command \"" + options.command + "\"");
}
