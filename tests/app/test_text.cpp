#include "form/text.h"

#include <gtest/gtest.h>

namespace softswitch {
namespace {

// The number at the start of a text is checked where it is shown: the switch
// reply rows of the query test and the baud rows of the writer test.
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
