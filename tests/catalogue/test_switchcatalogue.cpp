// The four switch catalogues against row files, on the loaded window: a read
// is the real switch readout, a click the real option click. A row is a `do`
// line of actions, then per bit the selected button, the bold button and the
// function caption (see the head of switch1.cases).
//   switchN.cases   named edge cases worked out by hand
//   switchN.golden  every model family, each read with every pattern of each
//                   multi-bit field; its head says how the rows were checked

#include "catalogue/switchcatalogue.h"
#include "scriptedprinter.h"
#include "tempdir.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <set>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace softswitch::testing {
namespace {

std::string rowFile(int sw, const char* kind) { return CATALOGUE_DATA_DIR "/switch" + std::to_string(sw) + kind; }

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text)
        out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
    return out + '"';
}

// Runs the actions of a `do` line on a fresh window; gives the tab lines.
std::vector<std::string> runActions(int sw, const std::string& actions)
{
    ScriptedPrinter p{" "};
    SwitchTab& tab = p.form.switchTab(sw);
    std::istringstream all(actions);
    for (std::string action; std::getline(all, action, ';');) {
        std::istringstream in(action);
        std::string verb, text;
        int number = 0;
        in >> verb;
        if (verb == "model" && in >> std::quoted(text))
            p.form.lblKR_INFO[0].setCaption(text);
        else if (verb == "readout" && in >> number)
            p.queries.switches.ShowSwitchBits(sw, static_cast<std::int16_t>(number));
        else if (verb == "click" && in >> text >> number)
            p.window.click((text == "ON" ? tab.on : tab.off)[number]);
        else if (verb == "describe" && in >> number)
            DescribeSwitchBit(p.form, sw, number);
        else if (verb == "clear" && in >> number)
            tab.on[number].setValue(false), tab.off[number].setValue(false);
        else
            throw std::runtime_error("bad action: " + action);
    }
    auto pair = [](bool off, bool on) -> std::string { return off && on ? "OFF+ON" : off ? "OFF" : on ? "ON" : "--"; };
    std::vector<std::string> tabLines;
    for (int i = 0; i < kSwitchBits; ++i) {
        char head[40];
        std::snprintf(head, sizeof head, "(%d) %-4sbold %-5s", i, pair(tab.off[i].value(), tab.on[i].value()).c_str(),
                      pair(tab.off[i].FontBold, tab.on[i].FontBold).c_str());
        tabLines.push_back(head + quoted(tab.function[i].caption()));
    }
    return tabLines;
}

void checkRows(int sw, const std::string& file)
{
    std::set<std::string> names;
    std::string pending, name, actions;
    std::vector<std::string> expected;
    const auto check = [&] {
        if (actions.empty())
            return;
        EXPECT_TRUE(names.insert(name).second) << file << " repeats the row " << name;
        EXPECT_EQ(runActions(sw, actions), expected) << file << ": " << name;
    };
    const std::vector<std::string> rows = lines(readFile(file));
    EXPECT_FALSE(rows.empty()) << file;
    for (const std::string& line : rows) {
        if (line.starts_with("row ")) {
            pending = line.substr(4);
        } else if (line.starts_with("do ")) {
            check();
            actions = line.substr(3), expected.clear();
            name = pending.empty() ? actions : std::exchange(pending, {});
        } else if (line.starts_with("(")) {
            expected.push_back(line);
        }
    }
    check();
}

// A review aid: writes the tab lines under each `do` line afresh.
void rewriteTabs(int sw)
{
    const std::vector<std::string> rows = lines(readFile(rowFile(sw, ".golden")));
    std::ofstream out(rowFile(sw, ".golden"));
    for (const std::string& line : rows) {
        if (line.starts_with("("))
            continue;
        out << line << '\n';
        if (line.starts_with("do "))
            for (const std::string& tabLine : runActions(sw, line.substr(3)))
                out << tabLine << '\n';
    }
}

TEST(SwitchCatalogue, HandDerivedRows)
{
    for (int sw = 1; sw <= kSwitchCount; ++sw)
        checkRows(sw, rowFile(sw, ".cases"));
}

TEST(SwitchCatalogue, EveryModelFamilyAndFieldPattern)
{
    for (int sw = 1; sw <= kSwitchCount; ++sw) {
        if (std::getenv("SOFTSWITCH_UPDATE_GOLDEN"))
            rewriteTabs(sw);
        checkRows(sw, rowFile(sw, ".golden"));
    }
}

} // namespace
} // namespace softswitch::testing
