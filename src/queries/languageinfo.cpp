#include "queries/languageinfo.h"

#include "catalogue/modelfamilies.h"
#include "form/text.h"
#include "queries/query.h"

#include <array>

namespace softswitch {

namespace {

// Query n of the table is getLanguageInfo<n>, shown in lblLANG_INFO(n - 1).
const std::array<Query, 7> kLanguageQueries = {{
    {"getLanguageInfo1", {29, 103, 52, 36}},
    {"getLanguageInfo2", {29, 73, 69}},
    {"getLanguageInfo3", {29, 103, 52, 33}},
    {"getLanguageInfo4", {29, 103, 52, 34}},
    {"getLanguageInfo5", {29, 103, 52, 48, 0}},
    {"getLanguageInfo6", {29, 103, 52, 37, 0}},
    {"getLanguageInfo7", {29, 103, 52, 43, 0}},
}};

const Query& languageQuery(int number)
{
    return kLanguageQueries.at(static_cast<std::size_t>(number - 1));
}

} // namespace

LanguageInfo::LanguageInfo(Context& ctx) : m_ctx(ctx)
{
    Form1& form = m_ctx.form;
    form.comboCodePage.onClick = [this] { comboCodePage_Click(); };
    form.comboInterChars.onClick = [this] { comboInterChars_Click(); };
    form.comboDensity.onClick = [this] { comboDensity_Click(); };
    form.comboNew8x16.onClick = [this] { comboNew8x16_Click(); };
    form.comboTHAI.onClick = [this] { comboTHAI_Click(); };
}

bool LanguageInfo::plainQuery(int number)
{
    const Query& query = languageQuery(number);
    const std::string text = Ask(m_ctx, query.command);
    if (text.empty())
        return false;
    LogReply(m_ctx, query, text);
    m_ctx.form.lblLANG_INFO[number - 1].setCaption(text);
    return true;
}

bool LanguageInfo::getLanguageInfo1() { return plainQuery(1); }
bool LanguageInfo::getLanguageInfo2() { return plainQuery(2); }
bool LanguageInfo::getLanguageInfo3() { return plainQuery(3); }
bool LanguageInfo::getLanguageInfo4() { return plainQuery(4); }

bool LanguageInfo::getLanguageInfo5()
{
    if (!InFamily(ModelName(m_ctx.form), Family::LanguageTrio))
        return true;
    const bool answered = plainQuery(5);
    SelectDensityEntry();
    return answered;
}

bool LanguageInfo::getLanguageInfo6()
{
    const Query& query = languageQuery(6);
    const std::string text = Ask(m_ctx, query.command);
    // Only whether the printer answered counts, not what.
    if (text.empty()) {
        m_ctx.form.lblLANG_INFO[5].setCaption("OFF");
        return false;
    }
    LogReply(m_ctx, query, text);
    m_ctx.form.lblLANG_INFO[5].setCaption("ON");
    return true;
}

bool LanguageInfo::getLanguageInfo7()
{
    if (!InFamily(ModelName(m_ctx.form), Family::ThaiPasses))
        return true;
    const Query& query = languageQuery(7);
    const std::string text = Ask(m_ctx, query.command);
    Control& label = m_ctx.form.lblLANG_INFO[6];
    if (text.empty()) {
        label.setCaption("");
        return false;
    }
    LogReply(m_ctx, query, text);
    if (left(text, 3) == "249")
        label.setCaption("3 Pass");
    else if (left(text, 3) == "255")
        label.setCaption("1 Pass");
    return true;
}

void LanguageInfo::selectEntry(const Control& label, Control& combo, std::size_t n)
{
    const std::string wanted = trimBlanks(label.caption());
    // Every entry is tried; with these lists at most one matches.
    for (std::size_t i = 0; i < combo.list.size(); ++i) {
        if (trimTrailingBlanks(left(combo.list[i], n)) != wanted)
            continue;
        combo.setListIndex(static_cast<int>(i));
        if (combo.onClick)
            combo.onClick();
    }
}

void LanguageInfo::SelectCodePageEntry()
{
    selectEntry(m_ctx.form.lblLANG_INFO[2], m_ctx.form.comboCodePage, 3);
}

void LanguageInfo::SelectInterCharsEntry()
{
    selectEntry(m_ctx.form.lblLANG_INFO[3], m_ctx.form.comboInterChars, 2);
}

void LanguageInfo::SelectDensityEntry()
{
    selectEntry(m_ctx.form.lblLANG_INFO[4], m_ctx.form.comboDensity, 2);
}

void LanguageInfo::SelectNew8x16Entry()
{
    Form1& form = m_ctx.form;
    const std::string shown = left(form.lblLANG_INFO[5].caption(), 2);
    if (shown == "OF")
        form.comboNew8x16.setListIndex(0);
    else if (shown == "ON")
        form.comboNew8x16.setListIndex(1);
    comboNew8x16_Click();
}

void LanguageInfo::comboCodePage_Click()
{
    Form1& form = m_ctx.form;
    // The name list runs in parallel with the code page list.
    const int position = form.comboCodePage.listIndex();
    if (position >= 0 && position < static_cast<int>(form.comboCodePageName.list.size()))
        form.comboCodePageName.setText(form.comboCodePageName.list[static_cast<std::size_t>(position)]);
    // Katakana comes with the Japanese character set, every other code page with U.S.A.
    const bool katakana = leadingNumber(left(form.comboCodePage.Text, 3)) == 1;
    form.comboInterChars.setText(form.comboInterChars.list.at(katakana ? 8 : 0));
    m_ctx.state.SettingsChanged =
        form.lblLANG_INFO[2].caption() != trimTrailingBlanks(left(form.comboCodePage.Text, 3));
}

void LanguageInfo::comboInterChars_Click()
{
    Form1& form = m_ctx.form;
    m_ctx.state.SettingsChanged =
        form.lblLANG_INFO[3].caption() != trimTrailingBlanks(left(form.comboInterChars.Text, 2));
}

void LanguageInfo::comboDensity_Click()
{
    Form1& form = m_ctx.form;
    m_ctx.state.SettingsChanged = form.comboDensity.Text != form.lblLANG_INFO[4].caption();
}

void LanguageInfo::comboNew8x16_Click()
{
    Form1& form = m_ctx.form;
    m_ctx.state.SettingsChanged = form.comboNew8x16.Text != form.lblLANG_INFO[5].caption();
}

void LanguageInfo::comboTHAI_Click()
{
    Form1& form = m_ctx.form;
    m_ctx.state.SettingsChanged = form.lblLANG_INFO[6].caption() != right(form.comboTHAI.Text, 6);
}

} // namespace softswitch
