// softswitchctl end to end: real printer-emulator processes on loopback
// addresses, the program run as a user runs it, its JSON and the printers'
// wire transcripts checked.

#include "ctl/target.h"
#include "ctlprocess.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>
#include <memory>
#include <optional>

using softswitch::ctl::parseRange;
using softswitch::ctl::parseTarget;

namespace {

constexpr const char* kUnlock = "1D 67 75 6E 6C 00";
constexpr const char* kLock = "1D 67 6C 63 6B 00";

// One emulated printer at NET.host, all on the port of the first one started.
struct Printer {
    std::string address;
    std::string transcript;
    std::unique_ptr<EmulatorProcess> process;
    std::string target() const { return "tcp:" + address; }
};

class Fleet {
public:
    explicit Fleet(const TempDir& dir) : m_dir(dir) {}

    // With `pty`, the printer is on a pseudo-terminal there instead of on TCP.
    Printer& add(int host, std::vector<std::string> sets, std::vector<std::string> faults = {}, const std::string& pty = {})
    {
        const std::string ip = loopbackNet() + std::to_string(host);
        auto printer = std::make_unique<Printer>();
        printer->transcript = m_dir.file("transcript-" + std::to_string(host));
        std::vector<std::string> args{"--transcript", printer->transcript};
        if (pty.empty())
            args.insert(args.end(), {"--tcp", ip + ":" + std::to_string(m_port)});
        else
            args.insert(args.end(), {"--no-tcp", "--pty", pty});
        // An empty reply costs the exchange a second of polling; a printer with the font on answers at once.
        sets.insert(sets.begin(), "new8x16=on");
        for (const std::string& set : sets)
            args.insert(args.end(), {"--set", set});
        args.insert(args.end(), faults.begin(), faults.end());
        printer->process = std::make_unique<EmulatorProcess>(args);
        if (m_port == 0 && pty.empty())
            m_port = printer->process->tcpPort();
        printer->address = ip + ":" + std::to_string(m_port);
        m_printers.push_back(std::move(printer));
        return *m_printers.back();
    }
    int port() const { return m_port; }

private:
    const TempDir& m_dir;
    int m_port = 0;
    std::vector<std::unique_ptr<Printer>> m_printers;
};

QJsonDocument json(const Finished& run)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(run.out));
}

// The commands from the first unlock on, up to and with the last lock.
std::vector<std::string> writes(const std::string& transcriptFile)
{
    const std::vector<std::string> all = lines(readFile(transcriptFile));
    const auto first = std::find(all.begin(), all.end(), kUnlock);
    const auto last = std::find(all.rbegin(), all.rend(), kLock);
    if (first == all.end() || last == all.rend())
        return {};
    return {first, last.base()};
}

std::string padded(std::string hex, std::size_t bytes)
{
    while ((hex.size() + 1) / 3 < bytes)
        hex += " 00";
    return hex;
}

} // namespace

TEST(CtlTargets, ParsesTargetsAndRangesAsTheWindowNamesLinks)
{
    for (const auto& row : tableRows(CTL_TEST_DATA "/targets.rows")) {
        std::string why;
        if (row.at(0) == "target") {
            const auto target = parseTarget(row.at(1), why);
            EXPECT_EQ(target ? target->name() : "refused", row.at(2)) << row[1];
            continue;
        }
        const auto range = parseRange(row.at(1), why);
        const std::vector<std::string> got = range ? std::vector{std::to_string(range->size()), range->front().name(), range->back().name()}
                                                   : std::vector<std::string>{"refused"};
        EXPECT_EQ(got, std::vector(row.begin() + 2, row.end())) << row[1] << ": " << why;
    }
}

TEST(Ctl, DiscoverFindsThePrintersOfTheMakerOnly)
{
    TempDir dir;
    Fleet fleet(dir);
    fleet.add(2, {"model=KR-5050", "serial=S-ONE", "firmware=V2.01"});
    fleet.add(5, {"model=KR-3100", "serial=S-TWO", "firmware=V3.10"});
    fleet.add(6, {"maker=OTHERCO"}); // answers the queries, but is not the maker's
    OtherService other(loopbackNet() + "3", fleet.port());
    const std::string range = loopbackNet() + "1-8:" + std::to_string(fleet.port());

    const Finished run = runCtl({"discover", "--tcp", range, "--json", "--timeout", "500"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    const QJsonArray found = json(run).array();
    ASSERT_EQ(found.size(), 2) << run.out;
    const std::string port = ":" + std::to_string(fleet.port());
    const std::array<std::array<std::string, 4>, 2> expected{{
        {"tcp:" + loopbackNet() + "2" + port, "KR-5050", "S-ONE", "V2.01"},
        {"tcp:" + loopbackNet() + "5" + port, "KR-3100", "S-TWO", "V3.10"},
    }};
    for (int i = 0; i < 2; ++i) {
        const QJsonObject printer = found[i].toObject();
        EXPECT_EQ(printer["target"].toString().toStdString(), expected[i][0]);
        EXPECT_EQ(printer["model"].toString().toStdString(), expected[i][1]);
        EXPECT_EQ(printer["serialNumber"].toString().toStdString(), expected[i][2]);
        EXPECT_EQ(printer["firmware"].toString().toStdString(), expected[i][3]);
    }
    const Finished text = runCtl({"discover", "--tcp", range}, dir);
    EXPECT_EQ(lines(text.out), (std::vector<std::string>{expected[0][0] + "  KR-5050  S-ONE  V2.01",
                                                         expected[1][0] + "  KR-3100  S-TWO  V3.10"}));
}

TEST(Ctl, ReadShowsWhatEachModelReadsAndMarksTheRestNotRead)
{
    struct Row {
        const char* name;
        std::vector<std::string> sets;
        std::array<std::optional<int>, 4> switches;
        std::optional<std::string> density;
        std::optional<std::string> thai;
        const char* link = "tcp"; // or a pseudo-terminal taken as "serial:PATH@9600,E,XON/XOFF" or "lpt:PATH"
    };
    const Row rows[] = {
        {"KR-5050 reads switch 1 only while bit 8 of switch 4 is 0",
         {"model=KR-5050", "sw2=1", "sw4=128", "thai=249"}, {std::nullopt, 1, 0, 128}, std::nullopt, "3 Pass"},
        {"KR-2250 reads the density and all four switches",
         {"model=KR-2250", "sw1=9", "density=2"}, {9, 0, 0, 0}, "2", std::nullopt},
        {"ZQ-PRINTER skips switch 1 when bit 1 of switch 2 is 1 and never reads 3 and 4",
         {"model=ZQ-PRINTER", "sw2=1"}, {std::nullopt, 1, std::nullopt, std::nullopt}, std::nullopt, std::nullopt},
        {"KR-3100 reads all four switches", {"model=KR-3100", "sw1=5", "sw3=37"}, {5, 0, 37, 0}, std::nullopt,
         std::nullopt},
        {"A model outside every switch family reads none",
         {"model=KR-1350E", "density=1"}, {}, "1", std::nullopt},
        {"a serial device with the window's serial settings", {"model=KR-3100", "sw4=6"}, {0, 0, 0, 6},
         std::nullopt, std::nullopt, "serial"},
        {"a parallel device", {"model=KR-5050", "sw1=255"}, {255, 0, 0, 0}, std::nullopt, "1 Pass", "lpt"},
    };
    TempDir dir;
    Fleet fleet(dir);
    std::vector<std::string> args{"read", "--json"};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const std::string link = rows[i].link, pty = dir.file("pty-" + std::to_string(i));
        const Printer& printer = fleet.add(static_cast<int>(10 + i), rows[i].sets, {}, link == "tcp" ? "" : pty);
        args.push_back(link == "tcp" ? printer.target() : link == "serial" ? "serial:" + pty + "@9600,E,XON/XOFF" : "lpt:" + pty);
    }
    args.push_back("tcp:" + loopbackNet() + "99:" + std::to_string(fleet.port())); // nobody there

    const Finished run = runCtl(args, dir);
    EXPECT_EQ(run.status, 1) << "one target failed";
    const QJsonArray results = json(run).array();
    ASSERT_EQ(results.size(), static_cast<qsizetype>(std::size(rows) + 1)) << run.out;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        const QJsonObject result = results[static_cast<qsizetype>(i)].toObject();
        EXPECT_EQ(result["target"].toString().toStdString(), args[i + 2]) << row.name;
        EXPECT_TRUE(result["ok"].toBool()) << row.name << ": " << result["error"].toString().toStdString();
        for (int sw = 0; sw < 4; ++sw) {
            const QJsonValue value = result["switches"].toArray()[sw].toObject()["value"];
            EXPECT_EQ(value.isNull() ? std::nullopt : std::optional<int>(value.toInt()), row.switches.at(sw))
                << row.name << ", switch " << sw + 1;
        }
        const QJsonObject language = result["language"].toObject();
        const auto text = [](const QJsonValue& value) {
            return value.isNull() ? std::nullopt : std::optional(value.toString().toStdString());
        };
        EXPECT_EQ(text(language["density"]), row.density) << row.name;
        EXPECT_EQ(text(language["thai"]), row.thai) << row.name;
    }
    // Bit 1 of switch 2 set (OFF) on a KR-5050: the catalogue's OFF text for it.
    const QJsonObject bit1 = results[0]["switches"].toArray()[1].toObject()["bits"].toArray()[0].toObject();
    EXPECT_EQ(bit1["state"].toString(), "OFF");
    EXPECT_EQ(bit1["text"].toString(), "Paper Feed Back = Disabled");
    const QJsonObject missing = results.last().toObject();
    EXPECT_FALSE(missing["ok"].toBool());
    EXPECT_FALSE(missing["error"].toString().isEmpty());
}

TEST(Ctl, ApplyWritesWhatDiffersWithTheWindowsCommandsAndReadsItBack)
{
    const std::string cyrillic = padded("1D 67 38 24 43 59 52 49 4C 4C 49 43", 25); // "CYRILLIC"
    const std::string standard = padded("1D 67 38 24 53 54 41 4E 44 41 52 44", 25); // "STANDARD"
    struct Row {
        const char* name;
        std::vector<std::string> source;
        std::vector<std::string> target;
        std::vector<std::string> options;
        int exit;
        const char* status;
        std::vector<std::string> writes; // the transcript from the first unlock to the last lock
        std::vector<std::string> faults = {};
    };
    const Row rows[] = {
        {"a switch and the code page of a KR-5050: the switch byte, then the whole language block",
         {"model=KR-5050", "sw2=3", "codepage=17"}, {"model=KR-5050"}, {}, 0, "written and confirmed",
         {kUnlock, "1D 67 38 28 33 00 00 00", kLock, kUnlock, "1D 67 38 21 31 37 00 00", cyrillic,
          "1D 67 38 22 30 00 00", "1D 67 38 30 00 00 00", "1D 67 38 25 4F 4E 00 00",
          "1D 67 38 2B 32 35 35 00 00 00 00 00", kLock}},
        {"switch 3 within the KR-31 group", {"model=KR-3100", "sw3=37"}, {"model=KR-4600"}, {}, 0,
         "written and confirmed", {kUnlock, "1D 67 38 29 33 37 00 00", kLock}},
        {"a profile of another family is refused", {"model=KR-5050"}, {"model=KR-3100", "sw2=8"}, {}, 1, "failed", {}},
        {"--force writes it all the same", {"model=KR-5050"}, {"model=KR-3100", "sw2=8"}, {"--force"}, 0,
         "written and confirmed", {kUnlock, "1D 67 38 28 30 00 00 00", kLock}},
        {"--dry-run writes nothing", {"model=KR-5050", "codepage=17"}, {"model=KR-5050"}, {"--dry-run"}, 0,
         "would write", {}},
        {"a printer that already matches is left alone", {"model=KR-2250", "density=1"},
         {"model=KR-2250", "density=1"}, {}, 0, "unchanged", {}},
        {"the language block of a KR-2250 carries its density and no Thai passes",
         {"model=KR-2250", "density=2"}, {"model=KR-2250", "density=1"}, {}, 0, "written and confirmed",
         {kUnlock, "1D 67 38 21 30 00 00 00", standard, "1D 67 38 22 30 00 00", "1D 67 38 30 32 00 00",
          "1D 67 38 25 4F 4E 00 00", kLock}},
        {"a switch that reads back wrong is written but not confirmed (an empty reply reads as 0)",
         {"model=KR-5050", "sw2=3"}, {"model=KR-5050", "sw2=3"}, {}, 1, "written but not confirmed",
         {kUnlock, "1D 67 38 28 33 00 00 00", kLock}, {"--no-reply", "sw2"}},
    };
    int host = 20;
    for (const Row& row : rows) {
        TempDir dir;
        Fleet fleet(dir);
        const std::string profile = dir.file("profile.json");
        Printer& source = fleet.add(host++, row.source);
        Printer& target = fleet.add(host++, row.target, row.faults);
        ASSERT_EQ(runCtl({"save", source.target(), profile}, dir).status, 0) << row.name;

        std::vector<std::string> args{"apply", profile, target.target(), "--json"};
        args.insert(args.end(), row.options.begin(), row.options.end());
        const Finished run = runCtl(args, dir);
        EXPECT_EQ(run.status, row.exit) << row.name << "\n" << run.out << run.err;
        const QJsonObject result = json(run)["targets"][0].toObject();
        EXPECT_EQ(result["status"].toString().toStdString(), row.status) << row.name << ": " << run.out;
        EXPECT_EQ(writes(target.transcript), row.writes) << row.name;
        EXPECT_EQ(json(run)["changed"].toBool(), !row.writes.empty()) << row.name;
        if (std::string(row.status) == "written and confirmed") { // now the printer holds the profile
            EXPECT_EQ(runCtl({"diff", profile, target.target()}, dir).status, 0) << row.name;
        }
    }
}

TEST(Ctl, ATargetThatFailsMidApplyIsReportedWhileTheOthersComplete)
{
    TempDir dir;
    Fleet fleet(dir);
    const std::string profile = dir.file("profile.json");
    const Printer& source = fleet.add(40, {"sw2=3"});
    const Printer& first = fleet.add(41, {});
    // A KR-5050's Communication Test is 19 commands: the line drops right after the unlock.
    const Printer& dropping = fleet.add(42, {}, {"--drop-after", "20"});
    const Printer& last = fleet.add(43, {});
    ASSERT_EQ(runCtl({"save", source.target(), profile}, dir).status, 0);

    const Finished diff = runCtl({"diff", profile, first.target(), "--json"}, dir);
    EXPECT_EQ(diff.status, 1);
    EXPECT_EQ(json(diff)[0]["settings"][1].toObject(),
              (QJsonObject{{"setting", "switch2"}, {"profile", "3"}, {"printer", "0"}, {"differs", true}}));

    const Finished run = runCtl({"apply", profile, first.target(), dropping.target(), last.target()}, dir);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(lines(run.out), (std::vector<std::string>{
                                  first.target() + ": written and confirmed (switch2 0 -> 3)",
                                  last.target() + ": written and confirmed (switch2 0 -> 3)",
                                  "Switch the written printers off and on: they take the new settings when they "
                                  "start again.",
                              }));
    EXPECT_EQ(run.err.rfind(dropping.target() + ": failed: writing switch2: ", 0), 0u) << run.err;
}

TEST(Ctl, DiscoverSerialAsksEachComPortPresent)
{
    TempDir dir;
    const std::string pty = dir.file("pty");
    EmulatorProcess printer({"--no-tcp", "--pty", pty, "--set", "model=KR-3100", "--set", "serial=S-PTY"});
    std::vector<std::string> args{"discover", "--serial"};
    for (int com = 1; com <= 16; ++com) // no real device of this machine is touched
        args.insert(args.end(), {"--com", std::to_string(com) + "=" + (com == 5 ? pty : dir.file("absent"))});
    const Finished run = runCtl(args, dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(lines(run.out), (std::vector<std::string>{"com:5@115200,N,DTR/DSR  KR-3100  S-PTY  V2.01"}));
}

TEST(Ctl, UsageErrorsExitWith2AndHelpListsEveryOption)
{
    TempDir dir;
    const std::vector<std::vector<std::string>> misuses = {
        {},
        {"inspect", "tcp:127.0.0.1"},
        {"read"},
        {"read", "ftp:127.0.0.1"},
        {"read", "tcp:127.0.0.1", "--force"},
        {"discover"},
        {"discover", "--tcp", "127.0.0.9-3"},
        {"discover", "--tcp", "127.0.0.1", "--jobs", "0"},
        {"save", "tcp:127.0.0.1"},
        {"diff", dir.file("missing.json"), "tcp:127.0.0.1"},
        {"apply", dir.file("missing.json")},
    };
    for (const auto& args : misuses) {
        const Finished run = runCtl(args, dir);
        EXPECT_EQ(run.status, 2) << (args.empty() ? "(nothing)" : args[0]) << " " << run.err;
        EXPECT_TRUE(run.out.empty());
    }
    const Finished help = runCtl({"--help"}, dir);
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--tcp", "--serial", "--json", "--jobs", "--timeout", "--dry-run", "--force", "--com",
                               "--lpt", "--help", "--version", "tcp:HOST[:PORT]", "com:N", "serial:PATH", "usb",
                               "lpt[:PATH]"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    EXPECT_EQ(runCtl({"--version"}, dir).out.rfind("softswitchctl ", 0), 0u);
}
