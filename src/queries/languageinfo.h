#pragma once
// The printer's language settings: seven queries into the "Language
// Information" labels, the selections that show them in the combo boxes of
// the "Additional Soft_Switch" tab, and the click handlers of those boxes,
// which decide whether the choice on screen differs from the printer's.

#include "link/context.h"

namespace softswitch {

class LanguageInfo {
public:
    // Binds the click handlers of the five language combo boxes.
    explicit LanguageInfo(Context& ctx);

    // Each true when answered (5 and 7 also when the model has no such query).
    bool getLanguageInfo1();
    bool getLanguageInfo2();
    bool getLanguageInfo3();
    bool getLanguageInfo4();
    bool getLanguageInfo5();
    bool getLanguageInfo6();
    bool getLanguageInfo7();

    void SelectCodePageEntry();
    void SelectInterCharsEntry();
    void SelectDensityEntry();
    void SelectNew8x16Entry();

    void comboCodePage_Click();
    void comboInterChars_Click();
    void comboDensity_Click();
    void comboNew8x16_Click();
    void comboTHAI_Click();

private:
    // Queries 1 to 4: the reply as it came, when there is one.
    bool plainQuery(int number);
    // Selects the entry whose first n characters, trailing blanks removed,
    // equal the label's caption trimmed at both ends, and runs its click.
    void selectEntry(const Control& label, Control& combo, std::size_t n);

    Context& m_ctx;
};

} // namespace softswitch
