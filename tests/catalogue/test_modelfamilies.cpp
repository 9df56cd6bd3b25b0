#include "catalogue/modelfamilies.h"

#include <gtest/gtest.h>

#include <set>

namespace softswitch {
namespace {

using F = Family;

struct FamilyRow {
    const char* name;
    std::set<Family> families;
};

// Which families each name belongs to; every family not listed must not match.
const FamilyRow kRows[] = {
    {"KR-5050", {F::KR5050Pair, F::KR5050Group, F::CoreGroup, F::KnownModels, F::Switch1FollowsSwitch4, F::Switch34Shown,
                 F::ThaiPasses}},
    {"KR-4450", {F::KR5050Pair, F::KR5050Group, F::CoreGroup, F::KnownModels, F::Switch1FollowsSwitch4, F::Switch34Shown}},
    {"KR-4600", {F::KR31Group, F::CoreGroup, F::KnownModels, F::Switch1AlwaysShown, F::Switch34Shown}},
    {"KR-4050", {F::LanguageTrio}},
    {"KR-3100X", {F::KR31Group, F::CoreGroup, F::KnownModels, F::Switch1AlwaysShown, F::Switch34Shown}},
    {"KR-3100Y", {F::KR31Group, F::CoreGroup, F::KnownModels, F::Switch1AlwaysShown, F::Switch34Shown}},
    {"KR-2250", {F::KR5050Group, F::KnownModels, F::LanguageTrio}},
    {"KR-1350E", {F::LanguageTrio}},
    {"KR-1350EX", {}},
    {"KR-27", {F::KR5050Group, F::CoreGroup, F::KnownModels, F::Switch1FollowsSwitch4, F::Switch34Shown}},
    {"KR2706", {F::KR5050Group, F::KnownModels, F::UsbBoardModels, F::Switch1FollowsSwitch4, F::Switch34Shown}},
    {"LM4_USB", {F::KR5050Group, F::KnownModels, F::UsbBoardModels, F::Switch1FollowsSwitch4, F::Switch34Shown}},
    {"LM47_USB", {F::KR31Group, F::KnownModels, F::UsbBoardModels, F::Switch1AlwaysShown, F::Switch34Shown}},
    {"LM47", {F::Switch1AlwaysShown}},
    {"NJ7", {F::KR5050Group, F::CoreGroup, F::KnownModels, F::NJModels, F::Switch1FollowsSwitch4, F::Switch34Shown}},
    {"NJ7x", {F::CoreGroup}},
    {"NJ66", {F::KR31Group, F::CoreGroup, F::KnownModels, F::NJModels, F::Switch1AlwaysShown, F::Switch34Shown}},
    {"NJ660", {F::KR31Group, F::CoreGroup, F::KnownModels, F::NJModels, F::Switch1AlwaysShown, F::Switch34Shown}},
    {"ZQ-PRINTER", {F::ZQGenericModels}},
    {"ZQ3-PRINTER-II", {F::ZQGenericModels}},
    {"ZQ3-PRINTER-III", {}},
    {"KR-5050 ", {}},
    {"kr-5050", {}},
    {"KR-3", {}},
    {"", {}},
    {" ", {}},
};

constexpr Family kAll[] = {
    F::KR5050Pair, F::KR5050Group, F::CoreGroup, F::KR31Group, F::KnownModels, F::UsbBoardModels,
    F::NJModels, F::ZQGenericModels, F::LanguageTrio, F::Switch1FollowsSwitch4, F::Switch1AlwaysShown, F::Switch34Shown, F::ThaiPasses,
};

TEST(ModelFamilies, EveryNameBelongsToExactlyItsFamilies)
{
    for (const FamilyRow& row : kRows)
        for (Family family : kAll)
            EXPECT_EQ(InFamily(row.name, family), row.families.count(family) == 1)
                << '"' << row.name << "\" family " << static_cast<int>(family);
}

} // namespace
} // namespace softswitch
