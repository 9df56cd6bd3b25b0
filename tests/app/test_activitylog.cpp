#include "form/activitylog.h"

#include <gtest/gtest.h>

namespace softswitch {
namespace {

struct LogFixture : ::testing::Test {
    Control txtLOG{"txtLOG", ControlKind::TextBox};
};

TEST_F(LogFixture, FirstLineHasNoLeadingBreak)
{
    AddLog(txtLOG, "getSW1-->30");
    EXPECT_EQ(txtLOG.Text, "getSW1-->30");
    AddLog(txtLOG, "getSW2-->5");
    EXPECT_EQ(txtLOG.Text, "getSW1-->30\r\ngetSW2-->5");
}

TEST_F(LogFixture, EmptyLineOnAFilledLogAddsABareBreak)
{
    AddLog(txtLOG, "x");
    AddLog(txtLOG, "");
    EXPECT_EQ(txtLOG.Text, "x\r\n");
}

TEST_F(LogFixture, EmptyLineOnAnEmptyLogAddsNothing)
{
    AddLog(txtLOG, "");
    EXPECT_EQ(txtLOG.Text, "");
}

TEST_F(LogFixture, RepliesKeepTheirControlCharacters)
{
    AddLog(txtLOG, std::string("getSW1-->30\0", 12));
    EXPECT_EQ(txtLOG.Text, std::string("getSW1-->30\0", 12));
}

// A log of n characters: position p (from 0) holds a letter that says where it was.
std::string patterned(std::size_t n)
{
    std::string text(n, ' ');
    for (std::size_t p = 0; p < n; ++p)
        text[p] = static_cast<char>('a' + p % 26);
    return text;
}

TEST_F(LogFixture, A8191CharacterLogIsNotTrimmed)
{
    txtLOG.Text = patterned(8191);
    AddLog(txtLOG, "new");
    EXPECT_EQ(txtLOG.Text, patterned(8191) + "\r\nnew");
}

TEST_F(LogFixture, A8192CharacterLogKeepsItsSecondHalf)
{
    const std::string before = patterned(8192);
    txtLOG.Text = before;
    AddLog(txtLOG, "new");
    EXPECT_EQ(txtLOG.Text, before.substr(4096) + "\r\nnew");
    EXPECT_EQ(txtLOG.Text.size(), 4096u + 2 + 3);
}

TEST_F(LogFixture, ALongLogKeepsAtMost12287CharactersAfterTheCut)
{
    const std::string before = patterned(20000);
    txtLOG.Text = before;
    AddLog(txtLOG, "z");
    EXPECT_EQ(txtLOG.Text, before.substr(4096, 12287) + "\r\nz");
}

} // namespace
} // namespace softswitch
