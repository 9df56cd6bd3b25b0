#include "catalogue/modelfamilies.h"

#include <algorithm>
#include <vector>

namespace softswitch {

namespace {

using namespace model;

struct FamilyRow {
    Family family;
    std::vector<ModelTest> tests;
};

// Each family as the list of tests it is the OR of.
const FamilyRow kFamilies[] = {
    {Family::KR5050Pair, {KR5050, KR4450}},
    {Family::KR5050Group, {KR5050, KR4450, KR27, KR2250, KR2706, LM4_USB, NJ7}},
    {Family::KR31Group, {KR31, KR46, LM47_USB, NJ66}},
    {Family::CoreGroup, {KR4450, KR5050, KR27, NJ7_3, NJ66, KR31, KR46}},
    {Family::KnownModels, {KR5050, KR4450, KR31, KR46, KR27, KR2250, KR2706, LM4_USB, LM47_USB, NJ7, NJ66}},
    {Family::UsbBoardModels, {KR2706, LM4_USB, LM47_USB}},
    {Family::NJModels, {NJ7, NJ66}},
    {Family::ZQGenericModels, {ZQ_PRINTER, ZQ2_PRINTER, ZQ3_PRINTER, ZQ3_PRINTER_II}},
    {Family::LanguageTrio, {KR2250, KR1350E, KR4050}},
    {Family::ThaiPasses, {KR5050}},
    {Family::Switch1FollowsSwitch4, {KR5050, KR4450, KR27, KR2706, LM4_USB, NJ7}},
    {Family::Switch1AlwaysShown, {NJ66, LM47, KR46, KR31}},
    {Family::Switch34Shown, {NJ66, NJ7, LM47_USB, LM4_USB, KR27, KR46, KR31, KR4450, KR5050, KR2706}},
};

} // namespace

std::string ModelName(const Form1& form)
{
    return form.lblKR_INFO[0].caption();
}

bool IsModel(std::string_view name, std::string_view literal)
{
    return name == literal;
}

bool ModelStartsWith(std::string_view name, std::string_view literal)
{
    return name.substr(0, literal.size()) == literal;
}

bool InFamily(std::string_view name, Family family)
{
    for (const FamilyRow& row : kFamilies)
        if (row.family == family)
            return std::any_of(row.tests.begin(), row.tests.end(),
                               [name](const ModelTest& test) { return test.matches(name); });
    return false;
}

} // namespace softswitch
