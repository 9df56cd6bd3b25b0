#include "form/text.h"

#include <gtest/gtest.h>

namespace softswitch {
namespace {

TEST(Text, LeadingNumberReadsOnlyTheNumberAtTheStart)
{
    const std::pair<std::string, double> rows[] = {
        {"30", 30},           {std::string("30\0", 3), 30}, {"", 0},        {"A5", 0},    {"   255", 255},
        {"-1", -1},           {"+7", 7},                    {"2.5x", 2.5},  {"1.2.3", 1.2}, {"128abc", 128},
        {"1e2", 100},         {"12e", 12},                  {"9600  ", 9600}, {"-", 0},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_DOUBLE_EQ(leadingNumber(text), expected) << '"' << text << '"';
}

TEST(Text, Helpers)
{
    const std::pair<std::string, std::string> rows[] = {
        {signedNumber(6), " 6"},
        {signedNumber(0), " 0"},
        {signedNumber(-3), "-3"},
        {trimBlanks("  17 "), "17"},
        {trimBlanks("   "), ""},
        {trimTrailingBlanks("0  "), "0"},
        {trimTrailingBlanks(" 0 "), " 0"},
        {left("COM12", 3), "COM"},
        {left("US", 3), "US"},
        {right("255 - Thai 1 Pass", 6), "1 Pass"},
        {right("ab", 6), "ab"},
        {upperCase("Tarvenic \xe9"), "TARVENIC \xe9"},
    };
    for (const auto& [actual, expected] : rows)
        EXPECT_EQ(actual, expected);
}

} // namespace
} // namespace softswitch
