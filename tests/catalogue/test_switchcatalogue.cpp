// The four switch catalogues against row files that hold, per row, the
// actions on a fresh window and the whole switch tab afterwards: the
// selected button, the bold button and the function caption of every bit.
//   switchN.cases   named rows derived by hand from the catalogue tables
//   switchN.golden  every known model name and some tricky ones, times: every
//                   bit described with no button selected, the switch bytes
//                   that reach every field combination, and one click per
//                   button after a read; SOFTSWITCH_UPDATE_GOLDEN=1 rewrites it.

#include "catalogue/switchcatalogue.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace softswitch {
namespace {

const std::string kDataDir = CATALOGUE_DATA_DIR;

// The describe call the click handlers of switch n run.
using Describe = void (*)(Form1&, int);
constexpr Describe kDescribe[kSwitchCount] = {DescribeSwitch1Bit, DescribeSwitch2Bit, DescribeSwitch3Bit,
                                              DescribeSwitch4Bit};

struct Row {
    std::string name;
    std::string actions;
    std::vector<std::string> tab;
    int line = 0;
};

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        char escaped[5] = {static_cast<char>(c)};
        if (c == '\r' || c == '\n' || c == '"' || c == '\\')
            std::snprintf(escaped, sizeof escaped, "\\%c", c == '\r' ? 'r' : c == '\n' ? 'n' : c);
        else if (c < 32 || c > 126)
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
        out += escaped;
    }
    return out + "\"";
}

std::string unquoted(std::istream& in)
{
    std::string out;
    char c = 0;
    in >> std::ws;
    if (in.get() != '"')
        throw std::runtime_error("a quoted text was expected");
    while (in.get(c) && c != '"') {
        if (c == '\\') {
            in.get(c);
            if (c == 'x') {
                char hex[3] = {};
                in.read(hex, 2);
                c = static_cast<char>(std::stoi(hex, nullptr, 16));
            } else if (c == 'r' || c == 'n') {
                c = c == 'r' ? '\r' : '\n';
            }
        }
        out += c;
    }
    return out;
}

// A window whose option buttons describe their bit when selected, as the
// click handlers do, driven by the actions of a row.
class SwitchWindow {
public:
    explicit SwitchWindow(int sw) : m_sw(sw), m_tab(m_form.switchTab(sw))
    {
        for (int i = 0; i < kSwitchBits; ++i) {
            m_tab.on[i].onClick = [this, i] { describe(i); };
            m_tab.off[i].onClick = [this, i] { describe(i); };
        }
    }

    // Actions separated by ';': model "NAME", readout BYTE, click ON|OFF INDEX,
    // describe INDEX (a direct call), clear INDEX (neither button selected).
    void run(const std::string& actions)
    {
        std::istringstream in(actions);
        std::string verb;
        while (in >> verb) {
            std::string button;
            int number = 0;
            if (verb == "model")
                m_form.lblKR_INFO[0].setCaption(unquoted(in));
            else if (verb == "readout" && in >> number)
                readout(number);
            else if (verb == "click" && in >> button >> number)
                (button == "ON" ? m_tab.on : m_tab.off)[number].click();
            else if (verb == "describe" && in >> number)
                describe(number);
            else if (verb == "clear" && in >> number) {
                m_tab.on[number].setValue(false);
                m_tab.off[number].setValue(false);
            } else
                throw std::runtime_error("unknown action: " + verb);
            in >> std::ws;
            if (in.peek() == ';')
                in.get();
        }
    }

    std::vector<std::string> tab() const
    {
        std::vector<std::string> lines;
        for (int i = 0; i < kSwitchBits; ++i) {
            const Control& on = m_tab.on[i];
            const Control& off = m_tab.off[i];
            auto pair = [](bool offSide, bool onSide) -> std::string {
                return offSide && onSide ? "OFF+ON" : offSide ? "OFF" : onSide ? "ON" : "--";
            };
            std::string line = "(" + std::to_string(i) + ") " + pair(off.value(), on.value());
            line.resize(8, ' ');
            line += "bold " + pair(off.FontBold, on.FontBold);
            line.resize(18, ' ');
            lines.push_back(line + quoted(m_tab.function[i].caption()));
        }
        return lines;
    }

    // What the switch readout does with a byte read from the printer.
    void readout(int value)
    {
        for (int i = kSwitchBits - 1; i >= 0; --i) {
            if (value - (1 << i) >= 0) {
                m_tab.off[i].setValue(true);
                value -= 1 << i;
            } else {
                m_tab.on[i].setValue(true);
            }
        }
        for (int i = 0; i < kSwitchBits; ++i)
            describe(i);
    }

    void describe(int index) { kDescribe[m_sw - 1](m_form, index); }
    Form1& form() { return m_form; }

private:
    Form1 m_form;
    int m_sw;
    SwitchTab& m_tab;
};

std::vector<Row> readRows(const std::string& path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::vector<Row> rows;
    std::string line, name;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.rfind("row ", 0) == 0)
            name = line.substr(4);
        else if (line.rfind("do ", 0) == 0)
            rows.push_back({name.empty() ? line.substr(3) : name, line.substr(3), {}, number}), name.clear();
        else if (line.rfind("(", 0) == 0 && !rows.empty())
            rows.back().tab.push_back(line);
    }
    return rows;
}

void checkRows(int sw, const std::string& file)
{
    const std::vector<Row> rows = readRows(kDataDir + "/" + file);
    ASSERT_FALSE(rows.empty()) << file;
    std::set<std::string> names;
    for (const Row& row : rows) {
        EXPECT_TRUE(names.insert(row.name).second) << file << ":" << row.line << " repeats the row " << row.name;
        SwitchWindow window(sw);
        window.run(row.actions);
        EXPECT_EQ(window.tab(), row.tab) << file << ":" << row.line << " " << row.name;
    }
}

TEST(SwitchCatalogue, HandDerivedRows)
{
    for (int sw = 1; sw <= kSwitchCount; ++sw)
        checkRows(sw, "switch" + std::to_string(sw) + ".cases");
}

// Names: every model identifier, then names that sit just beside one.
const char* const kNames[] = {
    "KR-5050", "KR-4450", "KR-4600", "KR-4050", "KR-3100", "KR-3100X", "KR-2250", "KR-1350E", "KR-31", "KR-46",
    "KR-27", "KR2706", "LM4_USB", "LM47_USB", "LM47", "NJ7", "NJ66", "ZQ-PRINTER", "ZQ2-PRINTER", "ZQ3-PRINTER",
    "ZQ3-PRINTER-II",
    "KR-3100Y", "KR-3100X2", "KR-46xx", "KR-2750", "NJ7x", "NJ660", "KR-5050 ", "kr-5050", "", " ", "NO-SUCH-PRINTER",
};

// The bits of each switch's multi-bit fields; every combination is read.
const std::vector<int> kFieldMasks[kSwitchCount] = {
    {0x03, 0x1C}, {0x03, 0x60}, {0x03, 0x0E, 0x1C, 0xF0, 0x70}, {0x06, 0x18, 0x60}};

std::vector<std::string> gridActions(int sw)
{
    std::set<int> bytes = {0, 255};
    for (int i = 0; i < kSwitchBits; ++i)
        bytes.insert(1 << i);
    for (int mask : kFieldMasks[sw - 1])
        for (int subset = mask;; subset = (subset - 1) & mask) {
            bytes.insert(subset);
            if (subset == 0)
                break;
        }
    std::vector<std::string> actions;
    for (const char* name : kNames) {
        const std::string model = "model " + quoted(name) + "; ";
        std::string unselected = model + "describe 0";
        for (int i = 1; i < kSwitchBits; ++i)
            unselected += "; describe " + std::to_string(i);
        actions.push_back(unselected);
        for (int byte : bytes)
            actions.push_back(model + "readout " + std::to_string(byte));
        for (int i = 0; i < kSwitchBits; ++i)
            actions.push_back(model + "readout 0; click OFF " + std::to_string(i));
        for (int i = 0; i < kSwitchBits; ++i)
            actions.push_back(model + "readout 255; click ON " + std::to_string(i));
    }
    return actions;
}

void writeGolden(int sw, const std::string& path)
{
    std::ofstream out(path);
    out << "# Switch " << sw << ": each row's actions on a fresh window (as in switch" << sw << ".cases), then per\n"
        << "# bit index (bit number minus 1) the selected button, the bold button and the function caption.\n"
        << "# Written by SOFTSWITCH_UPDATE_GOLDEN=1 test_switchcatalogue; every change is reviewed.\n";
    for (const std::string& actions : gridActions(sw)) {
        SwitchWindow window(sw);
        window.run(actions);
        out << "\ndo " << actions << "\n";
        for (const std::string& line : window.tab())
            out << line << "\n";
    }
}

TEST(SwitchCatalogue, GoldenGridOfNamesBytesAndClicks)
{
    const bool update = std::getenv("SOFTSWITCH_UPDATE_GOLDEN") != nullptr;
    for (int sw = 1; sw <= kSwitchCount; ++sw) {
        const std::string file = "switch" + std::to_string(sw) + ".golden";
        if (update)
            writeGolden(sw, kDataDir + "/" + file);
        std::vector<std::string> actions;
        for (const Row& row : readRows(kDataDir + "/" + file))
            actions.push_back(row.actions);
        EXPECT_EQ(actions, gridActions(sw)) << file << " does not hold the whole grid";
        checkRows(sw, file);
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
        const bool label = control->container == &tab.frame && control->kind() == ControlKind::Label;
        out << control->name() << control->enabled() << control->Visible << control->Text;
        if (!option)
            out << control->value() << control->FontBold;
        if (!(label && control != &tab.title) && control != &form.lblKR_INFO[0])
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
        for (const std::string& actions : gridActions(sw)) {
            if (actions.find("click") != std::string::npos)
                continue; // the reads already reach every branch
            SwitchWindow window(sw);
            window.run(actions);
            const std::vector<std::string> tab = window.tab();
            for (int index = -1; index <= kSwitchBits; ++index)
                DescribeSwitchBit(window.form(), sw, index);
            // Only four switches exist.
            DescribeSwitchBit(window.form(), 0, 0);
            DescribeSwitchBit(window.form(), kSwitchCount + 1, 0);
            EXPECT_EQ(window.tab(), tab) << "switch " << sw << ": " << actions;
            EXPECT_EQ(untouchable(window.form(), sw), start) << "switch " << sw << ": " << actions;
        }
    }
}

} // namespace
} // namespace softswitch
