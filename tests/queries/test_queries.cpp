// The printer queries and the two read flows against a scripted printer.

#include "scriptedprinter.h"

namespace softswitch::testing {
namespace {

// Switch 1's byte as shown: the sum of the bits whose OFF button is selected.
int shownByte(Form1& form, int sw)
{
    int value = 0;
    for (int i = 0; i < kSwitchBits; ++i)
        value += form.switchTab(sw).off[i].value() ? 1 << i : 0;
    return value;
}

struct NumberRow {
    const char* name;
    std::string reply;
    int shown; // -1: rejected, the tab keeps what it showed
};

const NumberRow kNumberRows[] = {
    {"Empty", "", 0},
    {"Digits", "5", 5},
    {"LeadingBlank", " 7", 7},
    {"OnlyBlanksAreSkipped", "\r5", 0},
    {"PlusSign", "+3", 3},
    {"Negative", "-1", -1},
    {"AboveAByte", "256", -1},
    {"HalfRoundsDownToEven", "2.5", 2},
    {"HalfRoundsUpToEven", "3.5", 4},
    {"DigitsThenLetters", "12abc", 12},
    {"DigitsThenNul", std::string("12\0", 3), 12},
    {"SecondPointStops", "1.2.3", 1},
    {"LetterFirst", "A5", 0},
    {"AllBits", "255", 255},
};

TEST(Queries, SwitchRepliesAreReadAsTheirLeadingNumber)
{
    for (const NumberRow& row : kNumberRows) {
        SCOPED_TRACE(row.name);
        ScriptedPrinter p;
        auto [form, state, queries] = p.parts();
        queries.switches.ShowSwitchBits(1, 0xA5);
        form.txtLOG.Text.clear();
        state.SettingsChanged = true;
        p.queue("sw1", row.reply);
        const bool accepted = queries.switches.getSW(1);
        EXPECT_EQ(accepted, row.shown >= 0);
        EXPECT_EQ(shownByte(form, 1), row.shown >= 0 ? row.shown : 0xA5);
        EXPECT_EQ(form.txtLOG.Text, row.shown >= 0 ? "getSW1-->" + row.reply : "");
        EXPECT_FALSE(state.SettingsChanged);
    }
    ScriptedPrinter p;
    EXPECT_THROW(p.queries.switches.getSW(5), std::out_of_range) << "four switches, no fifth";
}

// The order of the queries and each early end are end-to-end cases
// (communication/early-end); the settings flag is not visible there.
TEST(Queries, OnlyARunToTheEndClearsTheSettingsFlag)
{
    for (const auto& [silent, working] : {std::pair{"model", false}, std::pair{"hours", true}}) {
        ScriptedPrinter p;
        p.queue(silent, "");
        p.queue(silent, "");
        p.state.SettingsChanged = true;
        p.window.click(p.form.cmdCommunicate);
        EXPECT_EQ(p.form.SSTab1.Visible, working) << silent;
        EXPECT_EQ(p.state.SettingsChanged, !working) << silent;
        EXPECT_TRUE(p.form.cmdCommunicate.enabled()) << silent;
    }
}

struct FamilyReadRow {
    const char* name;
    const char* model;
    std::vector<std::pair<std::string, std::string>> replies;
    bool decidingBitOnBefore; // switch 4 bit 8 and switch 2 bit 1, as an earlier test left them
    std::string switches;
};

// Whether switch 1 is read follows the deciding bit as this test reads it,
// not as an earlier test left it; a rejected reply leaves the old one.
const FamilyReadRow kFamilyReadRows[] = {
    {"KR5050RejectedSwitch4KeepsTheOldBit8On", "KR-5050", {{"sw4", "-1"}}, true, "sw2 sw3 sw4 sw1"},
    {"KR5050RejectedSwitch4KeepsTheOldBit8Off", "KR-5050", {{"sw4", "300"}}, false, "sw2 sw3 sw4"},
    {"KR5050Bit8NowOn", "KR-5050", {{"sw4", "0"}}, false, "sw2 sw3 sw4 sw1"},
    {"KR5050Bit8NowOff", "KR-5050", {{"sw4", "128"}}, true, "sw2 sw3 sw4"},
    {"ZQBit1NowOn", "ZQ-PRINTER", {{"sw2", "0"}}, false, "sw2 sw1"},
    {"ZQBit1NowOff", "ZQ2-PRINTER", {{"sw2", "1"}}, true, "sw2"},
};

TEST(Queries, SwitchOneIsReadWhenTheBitReadJustBeforeSaysSo)
{
    for (const FamilyReadRow& row : kFamilyReadRows) {
        SCOPED_TRACE(row.name);
        ScriptedPrinter p{row.model};
        auto [form, state, queries] = p.parts();
        for (const auto& [query, reply] : row.replies)
            p.queue(query, reply);
        (row.decidingBitOnBefore ? form.optSW4ON : form.optSW4OFF)[7].setValue(true);
        (row.decidingBitOnBefore ? form.optSW2ON : form.optSW2OFF)[0].setValue(true);
        p.window.click(form.cmdCommunicate);
        const std::string sent = p.sent();
        const auto first = sent.find(" sw");
        EXPECT_EQ(first == std::string::npos ? "" : sent.substr(first + 1), row.switches);
    }
}

struct ModelNameRow {
    const char* name;
    std::vector<std::string> replies;
    bool answered;
    std::string label;
    std::string log;
    std::string sent;
};

const ModelNameRow kModelNameRows[] = {
    {"Plain", {"KR-5050"}, true, "KR-5050", "getPrinterInfo1-->KR-5050", "model"},
    {"OneMoreTryAfterSilence", {"", "KR-4450"}, true, "KR-4450", "getPrinterInfo1-->KR-4450", "model model"},
    {"SilentTwice", {"", ""}, false, "KR-31", "", "model model"},
    {"RetryMarkAskedOnce", {";1", "KR-5050"}, true, "KR-5050", "getPrinterInfo1-->;1\r\ngetPrinterInfo1-->KR-5050",
     "model model"},
    {"NoSecondRepetition", {";1x", ";1y"}, true, ";1y", "getPrinterInfo1-->;1x\r\ngetPrinterInfo1-->;1y", "model model"},
    {"RetryAnsweredBySilence", {";1", ""}, false, "", "getPrinterInfo1-->;1", "model model"},
    {"SilenceThenRetryMark", {"", ";1", "NJ66"}, true, "NJ66", "getPrinterInfo1-->;1\r\ngetPrinterInfo1-->NJ66",
     "model model model"},
};

TEST(Queries, TheModelNameToleratesOneSilenceAndOneRetryMark)
{
    for (const ModelNameRow& row : kModelNameRows) {
        SCOPED_TRACE(row.name);
        ScriptedPrinter p{"KR-31"};
        auto [form, state, queries] = p.parts();
        for (const std::string& reply : row.replies)
            p.queue("model", reply);
        EXPECT_EQ(queries.printer.getPrinterInfo1(), row.answered);
        EXPECT_EQ(form.lblKR_INFO[0].caption(), row.label);
        EXPECT_EQ(form.txtLOG.Text, row.log);
        EXPECT_EQ(p.sent(), row.sent);
    }
}

struct LanguageRow {
    const char* name;
    const char* model;
    std::vector<std::pair<int, std::string>> before; // lblLANG_INFO captions left by an earlier read
    std::vector<std::pair<std::string, std::string>> replies;
    std::vector<std::pair<std::string, std::string>> shown; // control -> text or caption
    bool settingsChanged;                                   // after the reads, before the flow ends
};

const LanguageRow kLanguageRows[] = {
    {"CodePage17", "KR-5050", {}, {{"codepage", "17"}},
     {{"comboCodePage", "17 - 866 Cyrillic"}, {"comboCodePageName", "17 - Cyrillic"}, {"comboInterChars", "0 - U.S.A."}},
     false},
    {"KatakanaBringsJapan", "KR-5050", {}, {{"codepage", "1"}, {"interchars", "8"}},
     {{"comboCodePage", "1  - Katakana Japanese"}, {"comboInterChars", "8 - Japan"}}, false},
    {"CodePageWithBlanksSelectsButDiffers", "KR-5050", {}, {{"codepage", " 17 "}, {"interchars", "3"}},
     {{"comboCodePage", "17 - 866 Cyrillic"}, {"comboInterChars", "3 - U.K."}}, false},
    {"DensityOnTrioModelDiffersByItsWholeText", "KR-2250", {}, {{"density", "1"}},
     {{"lblLANG_INFO(4)", "1"}, {"comboDensity", "1 - Light"}}, false},
    {"DensityNotAskedOutsideTheTrio", "KR-5050", {}, {{"density", "2"}}, {{"lblLANG_INFO(4)", " "}, {"comboDensity", ""}},
     false},
    {"DensityEntrySelectedOnReadForEveryModel", "KR-5050", {{4, "2"}}, {}, {{"comboDensity", "2 - Dark"}}, false},
    {"New8x16AnswerMeansOn", "KR-5050", {}, {{"new8x16", "whatever"}},
     {{"lblLANG_INFO(5)", "ON"}, {"comboNew8x16", " ON"}}, true},
    {"New8x16SilenceMeansOff", "KR-5050", {}, {}, {{"lblLANG_INFO(5)", "OFF"}, {"comboNew8x16", "OFF"}}, false},
    {"Thai249", "KR-5050", {}, {{"thai", "249"}}, {{"lblLANG_INFO(6)", "3 Pass"}, {"comboTHAI", ""}}, false},
    {"ThaiOtherValueLeavesTheLabel", "KR-5050", {{6, "1 Pass"}}, {{"thai", "250"}}, {{"lblLANG_INFO(6)", "1 Pass"}}, false},
    {"ThaiSilenceEmptiesTheLabel", "KR-5050", {{6, "1 Pass"}}, {{"thai", ""}}, {{"lblLANG_INFO(6)", ""}}, false},
    {"ThaiNotAskedButOnKR5050", "KR-4450", {{6, "1 Pass"}}, {{"thai", "249"}}, {{"lblLANG_INFO(6)", "1 Pass"}}, false},
};

TEST(Queries, LanguageSettingsAreShownAndSelected)
{
    for (const LanguageRow& row : kLanguageRows) {
        SCOPED_TRACE(row.name);
        ScriptedPrinter p{row.model};
        auto [form, state, queries] = p.parts();
        for (const auto& [label, caption] : row.before)
            form.lblLANG_INFO[label].setCaption(caption);
        for (const auto& [query, reply] : row.replies)
            p.queue(query, reply);
        // Read Settings on tab 5 runs every query and selection; the flag is
        // checked before its button's handler clears it.
        queries.settingsReader.ReadSettings(5);
        EXPECT_EQ(state.SettingsChanged, row.settingsChanged);
        for (const auto& [name, text] : row.shown) {
            const Control* control = form.find(name);
            ASSERT_NE(control, nullptr) << name;
            EXPECT_EQ(control->kind() == ControlKind::Combo ? control->Text : control->caption(), text) << name;
        }
    }
}

TEST(Queries, ChoosingAnEntryComparesWithWhatThePrinterSaid)
{
    ScriptedPrinter p;
    auto [form, state, queries] = p.parts();
    p.queue("thai", "249");
    queries.settingsReader.ReadSettings(5);
    const std::pair<Control*, int> picks[] = {
        {&form.comboTHAI, 0}, {&form.comboTHAI, 1}, {&form.comboCodePage, 22}, {&form.comboCodePage, 0},
        {&form.comboInterChars, 10}, {&form.comboInterChars, 0},
    };
    std::vector<bool> changed;
    for (const auto& [combo, entry] : picks) {
        p.window.pick(*combo, entry);
        changed.push_back(state.SettingsChanged);
    }
    EXPECT_EQ(changed, (std::vector<bool>{true, false, true, false, true, false}));
    p.window.pick(form.comboCodePage, 1);
    EXPECT_EQ(form.comboCodePageName.Text, "1  - Japanese");
    EXPECT_EQ(form.comboInterChars.Text, "8 - Japan");
}

// The code page the printer reports is compared with all three characters of
// the chosen entry's number, and a change goes out on Write Settings.
TEST(Queries, ACodePageIsComparedByItsWholeNumberAndAChangeIsWritten)
{
    struct Row {
        const char* printer;
        int entry;
        const char* written; // the code page write's digits, "" when nothing is written
    };
    for (const auto& [printer, entry, written] : {Row{"22", 22, "224"}, Row{"24", 23, "240"}, Row{"25", 24, "250"},
                                                  Row{"22", 10, ""}, Row{"224", 22, ""}}) {
        ScriptedPrinter p{"KR-4450"};
        p.standing("codepage", printer);
        p.form.SSTab1.setTab(5);
        p.window.click(p.form.cmd1);
        p.window.pick(p.form.comboCodePage, entry);
        EXPECT_EQ(p.state.SettingsChanged, *written != 0) << printer << " then " << p.form.comboCodePage.Text;
        p.fakes.serial.written.clear();
        p.window.click(p.form.cmd2);
        const std::string sent(p.fakes.serial.written.begin(), p.fakes.serial.written.end());
        EXPECT_EQ(sent.find("\x1d\x67\x38\x21" + std::string(written)) != std::string::npos, *written != 0) << printer;
    }
}

// What Read Settings reads on each tab and model: e2e cases read-settings/*.
TEST(Queries, ReadSettingsStopsAtASilentLanguageModel)
{
    ScriptedPrinter p;
    p.form.SSTab1.setTab(5);
    p.queue("language", "");
    p.state.SettingsChanged = true;
    p.window.click(p.form.cmd1);
    EXPECT_EQ(p.sent(), "language");
    ASSERT_EQ(p.fakes.boxes.shown.size(), 1u);
    EXPECT_EQ(p.fakes.boxes.shown[0].text, "Read language information1 error!!\r\nPlease check the port setting of your printer.");
    EXPECT_EQ(p.fakes.boxes.shown[0].icon, MsgIcon::Critical);
    EXPECT_FALSE(p.state.SettingsChanged);
    EXPECT_EQ(p.form.activeControl(), &p.form.cmd1);
}

} // namespace
} // namespace softswitch::testing
