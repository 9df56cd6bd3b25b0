// The four switch catalogues against row files. A row is a `do` line of
// actions on a fresh window, then per bit the selected button, the bold
// button and the function caption (see the head of switch1.cases).
//   switchN.cases   named edge cases worked out by hand
//   switchN.golden  the grid of model names, reads and clicks; with
//                   SOFTSWITCH_UPDATE_GOLDEN=1 its tab lines are rewritten

#include "catalogue/switchcatalogue.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <set>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace softswitch {
namespace {

std::string rowFile(int sw, const char* kind) { return CATALOGUE_DATA_DIR "/switch" + std::to_string(sw) + kind; }

// What the click handlers of switch n call.
using Describe = void (*)(Form1&, int);
constexpr Describe kDescribe[kSwitchCount] = {DescribeSwitch1Bit, DescribeSwitch2Bit, DescribeSwitch3Bit,
                                              DescribeSwitch4Bit};

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text)
        out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
    return out + '"';
}

// The switch tab of a window whose option buttons describe their bit when
// selected, as the click handlers do.
struct SwitchWindow {
    explicit SwitchWindow(int sw) : m_sw(sw), m_tab(m_form.switchTab(sw))
    {
        for (int i = 0; i < kSwitchBits; ++i) {
            m_tab.on[i].onClick = [this, i] { describe(i); };
            m_tab.off[i].onClick = [this, i] { describe(i); };
        }
    }

    void run(const std::string& actions)
    {
        std::istringstream all(actions);
        for (std::string action; std::getline(all, action, ';');) {
            std::istringstream in(action);
            std::string verb, text;
            int number = 0;
            in >> verb;
            if (verb == "model" && in >> std::quoted(text))
                m_form.lblKR_INFO[0].setCaption(text);
            else if (verb == "readout" && in >> number)
                readout(number);
            else if (verb == "click" && in >> text >> number)
                (text == "ON" ? m_tab.on : m_tab.off)[number].click();
            else if (verb == "describe" && in >> number)
                describe(number);
            else if (verb == "clear" && in >> number)
                m_tab.on[number].setValue(false), m_tab.off[number].setValue(false);
            else
                throw std::runtime_error("bad action: " + action);
        }
    }

    std::vector<std::string> tab() const
    {
        auto pair = [](bool off, bool on) -> std::string { return off && on ? "OFF+ON" : off ? "OFF" : on ? "ON" : "--"; };
        std::vector<std::string> lines;
        for (int i = 0; i < kSwitchBits; ++i) {
            char head[40];
            std::snprintf(head, sizeof head, "(%d) %-4sbold %-5s", i, pair(m_tab.off[i].value(), m_tab.on[i].value()).c_str(),
                          pair(m_tab.off[i].FontBold, m_tab.on[i].FontBold).c_str());
            lines.push_back(head + quoted(m_tab.function[i].caption()));
        }
        return lines;
    }

    void describe(int index) { kDescribe[m_sw - 1](m_form, index); }

    // What a switch read does with the byte: bits 8 down to 1, then the describe pass.
    void readout(int value)
    {
        for (int i = kSwitchBits - 1; i >= 0; --i) {
            const bool off = value - (1 << i) >= 0;
            (off ? m_tab.off : m_tab.on)[i].setValue(true);
            value -= off ? 1 << i : 0;
        }
        for (int i = 0; i < kSwitchBits; ++i)
            describe(i);
    }

    Form1 m_form;
    int m_sw;
    SwitchTab& m_tab;
};

struct Row {
    std::string name; // the `row` line before it, else the actions
    std::string actions;
    std::vector<std::string> tab;
};

std::vector<std::string> readLines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<Row> readRows(const std::string& path)
{
    std::vector<Row> rows;
    std::string name;
    for (const std::string& line : readLines(path)) {
        if (line.starts_with("row "))
            name = line.substr(4);
        else if (line.starts_with("do "))
            rows.push_back({name.empty() ? line.substr(3) : std::exchange(name, {}), line.substr(3), {}});
        else if (line.starts_with("("))
            rows.back().tab.push_back(line);
    }
    return rows;
}

void checkRows(int sw, const std::string& file)
{
    std::set<std::string> names;
    const std::vector<Row> rows = readRows(file);
    EXPECT_FALSE(rows.empty()) << file;
    for (const Row& row : rows) {
        EXPECT_TRUE(names.insert(row.name).second) << file << " repeats the row " << row.name;
        SwitchWindow window(sw);
        window.run(row.actions);
        EXPECT_EQ(window.tab(), row.tab) << file << ": " << row.name;
    }
}

// Keeps every line but the tab lines, which it writes afresh under each `do` line.
void rewriteTabs(int sw)
{
    const std::vector<std::string> lines = readLines(rowFile(sw, ".golden"));
    std::ofstream out(rowFile(sw, ".golden"));
    for (const std::string& line : lines) {
        if (line.starts_with("("))
            continue;
        out << line << '\n';
        if (!line.starts_with("do "))
            continue;
        SwitchWindow window(sw);
        window.run(line.substr(3));
        for (const std::string& tabLine : window.tab())
            out << tabLine << '\n';
    }
}

TEST(SwitchCatalogue, HandDerivedRows)
{
    for (int sw = 1; sw <= kSwitchCount; ++sw)
        checkRows(sw, rowFile(sw, ".cases"));
}

TEST(SwitchCatalogue, GoldenGridOfNamesReadsAndClicks)
{
    for (int sw = 1; sw <= kSwitchCount; ++sw) {
        if (std::getenv("SOFTSWITCH_UPDATE_GOLDEN"))
            rewriteTabs(sw);
        checkRows(sw, rowFile(sw, ".golden"));
    }
}

// Everything on the window but the model name and what a read and describe of
// switch sw may change: its function captions, its option values and bold styles.
std::string untouchable(Form1& form, int sw)
{
    std::ostringstream out;
    const SwitchTab& tab = form.switchTab(sw);
    for (const Control* control : form.controls()) {
        const bool option = control->container && control->container->container == &tab.frame;
        const bool function = control->container == &tab.frame && control->kind() == ControlKind::Label
            && control != &tab.title;
        out << control->name() << control->enabled() << control->Visible << control->Text;
        if (!option)
            out << control->value() << control->FontBold;
        if (!function && control != &form.lblKR_INFO[0])
            out << quoted(control->caption());
        out << '\n';
    }
    return out.str();
}

TEST(SwitchCatalogue, DescribingTouchesOnlyItsOwnTabAndRepeatsItself)
{
    for (int sw = 1; sw <= kSwitchCount; ++sw) {
        Form1 fresh;
        const std::string start = untouchable(fresh, sw);
        for (const Row& row : readRows(rowFile(sw, ".golden"))) {
            if (row.actions.find("click") != std::string::npos)
                continue; // the reads already reach every branch
            SwitchWindow window(sw);
            window.run(row.actions);
            for (int index = -1; index <= kSwitchBits; ++index)
                DescribeSwitchBit(window.m_form, sw, index);
            DescribeSwitchBit(window.m_form, 0, 0); // only four switches exist
            DescribeSwitchBit(window.m_form, kSwitchCount + 1, 0);
            EXPECT_EQ(window.tab(), row.tab) << "switch " << sw << ": " << row.actions;
            EXPECT_EQ(untouchable(window.m_form, sw), start) << "switch " << sw << ": " << row.actions;
        }
    }
}

} // namespace
} // namespace softswitch
