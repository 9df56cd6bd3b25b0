#include "paperformat.h"

#include "catalogue/switchcatalogue.h"
#include "form/form1.h"

#include <map>
#include <mutex>
#include <optional>
#include <regex>
#include <utility>
#include <vector>

namespace render {
namespace {

constexpr int kNarrowPaperMm = 58;
constexpr int kNarrowPaperDots = 384;

// Bit 5 left without a selected button: on the models whose bit 5 is a print
// speed written over the width text of bits 3 and 4, the width stays readable.
constexpr int kSpeedBitIndex = 4;

std::vector<std::string> switch1Texts(std::string_view model, std::uint8_t sw1, bool clearSpeedBit)
{
    softswitch::Form1 form;
    form.lblKR_INFO[0].setCaption(std::string(model));
    for (int i = 0; i < softswitch::kSwitchBits; ++i) {
        const bool on = (sw1 >> i & 1) != 0;
        const bool blank = clearSpeedBit && i == kSpeedBitIndex;
        form.optSW1ON[i].setValue(on && !blank);
        form.optSW1OFF[i].setValue(!on && !blank);
    }
    std::vector<std::string> before;
    for (int i = 0; i < softswitch::kSwitchBits; ++i)
        before.push_back(form.lblSW1Function[i].caption());
    for (int i = 0; i < softswitch::kSwitchBits; ++i)
        softswitch::DescribeSwitch1Bit(form, i);
    std::vector<std::string> texts;
    for (int i = 0; i < softswitch::kSwitchBits; ++i)
        if (form.lblSW1Function[i].caption() != before[std::size_t(i)])
            texts.push_back(form.lblSW1Function[i].caption());
    return texts;
}

std::optional<int> number(const std::string& text, const std::regex& pattern)
{
    std::smatch match;
    if (std::regex_search(text, match, pattern))
        return std::stoi(match[1]);
    return std::nullopt;
}

PaperFormat fromTexts(const std::vector<std::string>& texts)
{
    static const std::regex mm("width[^=]*= (\\d+)mm");
    static const std::regex dots("(\\d+) ?[Dd]ots");
    std::optional<int> paperMm, printable, together;
    for (const auto& text : texts) {
        auto textMm = number(text, mm);
        auto textDots = number(text, dots);
        if (textMm && textDots) {
            paperMm = textMm;
            together = textDots;
        } else if (textMm) {
            paperMm = textMm;
        } else if (textDots) {
            printable = textDots;
        }
    }
    PaperFormat format;
    format.paperMm = paperMm.value_or(format.paperMm);
    if (together)
        format.printableDots = *together;
    else if (format.paperMm == kNarrowPaperMm)
        format.printableDots = kNarrowPaperDots;
    else if (printable)
        format.printableDots = *printable;
    return format;
}

}  // namespace

PaperFormat paperFormat(std::string_view model, std::uint8_t sw1)
{
    static std::mutex lock;
    static std::map<std::pair<std::string, int>, PaperFormat> known;
    std::lock_guard guard(lock);
    auto key = std::pair(std::string(model), int(sw1));
    if (auto found = known.find(key); found != known.end())
        return found->second;
    auto texts = switch1Texts(model, sw1, false);
    auto moreTexts = switch1Texts(model, sw1, true);
    texts.insert(texts.end(), moreTexts.begin(), moreTexts.end());
    return known[key] = fromTexts(texts);
}

}  // namespace render
