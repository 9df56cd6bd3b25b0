#pragma once
// The printer models the utility knows. Every model decision tests the name
// the printer reported, the caption of lblKR_INFO(0), exactly as shown:
// case-sensitive, nothing trimmed. A name no test knows gets the generic
// behaviour.

#include "form/form1.h"

#include <string>
#include <string_view>

namespace softswitch {

// The model name every decision reads.
std::string ModelName(const Form1& form);

// The name equals the literal.
bool IsModel(std::string_view name, std::string_view literal);
// The first characters of the name (as many as the literal has) equal the literal.
bool ModelStartsWith(std::string_view name, std::string_view literal);

// One test on the model name, in one of the two forms.
struct ModelTest {
    enum class Form { WholeName, Prefix };
    std::string_view literal;
    Form form;

    bool matches(std::string_view name) const
    {
        return form == Form::WholeName ? IsModel(name, literal) : ModelStartsWith(name, literal);
    }
};

// The model identifiers. A name with a length suffix (KR3100X_8, NJ7_3) is the
// prefix test of that many characters; the plain names KR31, KR46, KR27, LM47
// and NJ66 exist only as prefix tests.
namespace model {
constexpr ModelTest whole(std::string_view literal) { return {literal, ModelTest::Form::WholeName}; }
constexpr ModelTest prefix(std::string_view literal) { return {literal, ModelTest::Form::Prefix}; }

inline constexpr ModelTest KR5050 = whole("KR-5050");
inline constexpr ModelTest KR4450 = whole("KR-4450");
inline constexpr ModelTest KR4600 = whole("KR-4600");
inline constexpr ModelTest KR4050 = whole("KR-4050");
inline constexpr ModelTest KR3100 = whole("KR-3100");
inline constexpr ModelTest KR3100X = whole("KR-3100X");
inline constexpr ModelTest KR3100X_8 = prefix("KR-3100X");
inline constexpr ModelTest KR2250 = whole("KR-2250");
inline constexpr ModelTest KR1350E = whole("KR-1350E");
inline constexpr ModelTest KR31 = prefix("KR-31");
inline constexpr ModelTest KR46 = prefix("KR-46");
inline constexpr ModelTest KR27 = prefix("KR-27");
inline constexpr ModelTest KR2706 = whole("KR2706");
inline constexpr ModelTest LM4_USB = whole("LM4_USB");
inline constexpr ModelTest LM47_USB = whole("LM47_USB");
inline constexpr ModelTest LM47 = prefix("LM47");
inline constexpr ModelTest NJ7 = whole("NJ7");
inline constexpr ModelTest NJ7_3 = prefix("NJ7");
inline constexpr ModelTest NJ66 = prefix("NJ66");
inline constexpr ModelTest ZQ_PRINTER = whole("ZQ-PRINTER");
inline constexpr ModelTest ZQ2_PRINTER = whole("ZQ2-PRINTER");
inline constexpr ModelTest ZQ3_PRINTER = whole("ZQ3-PRINTER");
inline constexpr ModelTest ZQ3_PRINTER_II = whole("ZQ3-PRINTER-II");
} // namespace model

// The named families, each an OR of model tests, and the variants the tab
// set-up states for itself.
enum class Family {
    KR5050Pair,
    KR5050Group,
    KR31Group,
    CoreGroup,
    KnownModels,
    UsbBoardModels,
    NJModels,
    ZQGenericModels,
    LanguageTrio,
    // The models with Thai passes: the Thai query, frame and write.
    ThaiPasses,
    // Tab set-up: the switch-1 frame follows bit 8 of switch 4
    // (KR-5050 group without KR-2250).
    Switch1FollowsSwitch4,
    // Tab set-up: the switch-1 frame is always shown
    // (KR-31 group with the LM47 prefix in place of LM47_USB).
    Switch1AlwaysShown,
    // Tab set-up: the frames of switches 3 and 4 are shown
    // (Known models without KR-2250).
    Switch34Shown,
};

bool InFamily(std::string_view name, Family family);

} // namespace softswitch
