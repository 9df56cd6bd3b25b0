#include "form/activitylog.h"

#include <gtest/gtest.h>

namespace softswitch {
namespace {

// A log of n characters whose letters say where each one was.
std::string patterned(std::size_t n)
{
    std::string text(n, ' ');
    for (std::size_t p = 0; p < n; ++p)
        text[p] = static_cast<char>('a' + p % 26);
    return text;
}

struct LogRow {
    const char* name;
    std::string before, line, after;
};

TEST(AddLog, AppendsOneLineAndTrimsALongLog)
{
    const std::string nul("30\0", 3);
    const LogRow rows[] = {
        {"firstLineHasNoLeadingBreak", "", "getSW1-->30", "getSW1-->30"},
        {"laterLinesFollowABreak", "getSW1-->30", "getSW2-->5", "getSW1-->30\r\ngetSW2-->5"},
        {"emptyLineOnAFilledLogAddsABareBreak", "x", "", "x\r\n"},
        {"emptyLineOnAnEmptyLogAddsNothing", "", "", ""},
        {"controlCharactersStay", "", "getSW1-->" + nul, "getSW1-->" + nul},
        {"8191CharactersAreNotTrimmed", patterned(8191), "new", patterned(8191) + "\r\nnew"},
        {"8192CharactersKeepTheirSecondHalf", patterned(8192), "new", patterned(8192).substr(4096) + "\r\nnew"},
        {"atMost12287CharactersStayAfterTheCut", patterned(20000), "z", patterned(20000).substr(4096, 12287) + "\r\nz"},
    };
    for (const LogRow& row : rows) {
        Control txtLOG{"txtLOG", ControlKind::TextBox};
        txtLOG.Text = row.before;
        AddLog(txtLOG, row.line);
        EXPECT_EQ(txtLOG.Text, row.after) << row.name;
    }
}

} // namespace
} // namespace softswitch
