#include "form/text.h"

#include <gtest/gtest.h>

namespace softswitch {
namespace {

struct NumberRow {
    const char* name;
    std::string text;
    double expected;
};

class LeadingNumber : public ::testing::TestWithParam<NumberRow> {};

TEST_P(LeadingNumber, ReadsOnlyTheNumberAtTheStart)
{
    EXPECT_DOUBLE_EQ(leadingNumber(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, LeadingNumber,
    ::testing::Values(NumberRow{"plain", "30", 30}, NumberRow{"nulTerminated", std::string("30\0", 3), 30},
                      NumberRow{"empty", "", 0}, NumberRow{"letterFirst", "A5", 0},
                      NumberRow{"leadingBlanks", "   255", 255}, NumberRow{"negative", "-1", -1},
                      NumberRow{"plusSign", "+7", 7}, NumberRow{"fraction", "2.5x", 2.5},
                      NumberRow{"secondPointStops", "1.2.3", 1.2}, NumberRow{"trailingText", "128abc", 128},
                      NumberRow{"exponent", "1e2", 100}, NumberRow{"bareExponent", "12e", 12},
                      NumberRow{"baudField", "9600  ", 9600}, NumberRow{"signOnly", "-", 0}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(Text, SignedNumberHasABlankBeforeNonNegativeNumbers)
{
    EXPECT_EQ(signedNumber(6), " 6");
    EXPECT_EQ(signedNumber(0), " 0");
    EXPECT_EQ(signedNumber(-3), "-3");
}

TEST(Text, Trimming)
{
    EXPECT_EQ(trimBlanks("  17 "), "17");
    EXPECT_EQ(trimBlanks("   "), "");
    EXPECT_EQ(trimTrailingBlanks("0  "), "0");
    EXPECT_EQ(trimTrailingBlanks(" 0 "), " 0");
}

TEST(Text, LeftAndRightStopAtTheEnds)
{
    EXPECT_EQ(left("COM12", 3), "COM");
    EXPECT_EQ(left("US", 3), "US");
    EXPECT_EQ(right("255 - Thai 1 Pass", 6), "1 Pass");
    EXPECT_EQ(right("ab", 6), "ab");
    EXPECT_EQ(upperCase("Tarvenic é"), "TARVENIC é");
}

} // namespace
} // namespace softswitch
