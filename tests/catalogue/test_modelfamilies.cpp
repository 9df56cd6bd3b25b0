#include "catalogue/modelfamilies.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <sstream>

namespace softswitch {
namespace {

using F = Family;

constexpr std::pair<Family, const char*> kAll[] = {
    {F::KR5050Pair, "KR5050Pair"}, {F::KR5050Group, "KR5050Group"}, {F::CoreGroup, "CoreGroup"},
    {F::KR31Group, "KR31Group"}, {F::KnownModels, "KnownModels"}, {F::UsbBoardModels, "UsbBoardModels"},
    {F::NJModels, "NJModels"}, {F::ZQGenericModels, "ZQGenericModels"}, {F::LanguageTrio, "LanguageTrio"},
    {F::Switch1FollowsSwitch4, "Switch1FollowsSwitch4"}, {F::Switch1AlwaysShown, "Switch1AlwaysShown"},
    {F::Switch34Shown, "Switch34Shown"}, {F::ThaiPasses, "ThaiPasses"},
};

// A row of families.rows: the name (quoted when blank or empty) and its families.
TEST(ModelFamilies, EveryNameBelongsToExactlyItsFamilies)
{
    for (const auto& row : tableRows(CATALOGUE_DATA_DIR "/families.rows")) {
        const std::string name = row.at(0).starts_with('"') ? row[0].substr(1, row[0].size() - 2) : row[0];
        std::istringstream listed(row.at(1));
        const std::set<std::string> families{std::istream_iterator<std::string>(listed), {}};
        std::size_t known = 0;
        for (const auto& [family, familyName] : kAll) {
            known += families.count(familyName);
            EXPECT_EQ(InFamily(name, family), families.count(familyName) == 1) << '"' << name << "\" " << familyName;
        }
        EXPECT_EQ(known, families.size()) << row.at(1) << ": a family name misspelt";
    }
}

} // namespace
} // namespace softswitch
