#include "script/scripttext.h"

#include <gtest/gtest.h>

namespace softswitch::script {
namespace {

struct EscapeRow {
    const char* name;
    const char* scriptText;
    std::string bytes;
};

const EscapeRow kEscapes[] = {
    {"plain", "TCP/IP", "TCP/IP"},
    {"carriageReturn", "a\\rb", "a\rb"},
    {"lineFeed", "a\\nb", "a\nb"},
    {"nul", "30\\0", std::string("30\0", 3)},
    {"tab", "\\t", "\t"},
    {"backslash", "C:\\\\dir", "C:\\dir"},
    {"quote", "say \\\"hi\\\"", "say \"hi\""},
    {"hexLower", "\\x1d\\x67", "\x1d\x67"},
    {"hexUpper", "\\xFF", "\xff"},
    {"hexThenDigit", "\\x414", "A4"},
    {"blanksKept", "  ON ", "  ON "},
};

TEST(ScriptText, UnescapesEveryEscape)
{
    for (const EscapeRow& row : kEscapes) {
        const auto bytes = unescape(row.scriptText);
        ASSERT_TRUE(bytes.has_value()) << row.name;
        EXPECT_EQ(*bytes, row.bytes) << row.name;
    }
}

TEST(ScriptText, QuotingEscapesWhatUnescapingReads)
{
    for (const EscapeRow& row : kEscapes) {
        const std::string q = script::quoted(row.bytes);
        ASSERT_GE(q.size(), 2u);
        EXPECT_EQ(q.front(), '"');
        EXPECT_EQ(q.back(), '"');
        EXPECT_EQ(unescape(q.substr(1, q.size() - 2)), row.bytes) << row.name;
    }
}

TEST(ScriptText, QuotedOutputUsesTheShortEscapes)
{
    EXPECT_EQ(script::quoted("The COM1 can not OPEN !!\r\rPlease"), "\"The COM1 can not OPEN !!\\r\\rPlease\"");
    EXPECT_EQ(script::quoted(std::string("30\0", 3)), "\"30\\0\"");
    EXPECT_EQ(script::quoted("\x1b!\x01\xe9"), "\"\\x1B!\\x01\\xE9\"");
    EXPECT_EQ(script::quoted(""), "\"\"");
}

TEST(ScriptText, MalformedEscapesAreRefused)
{
    for (const char* bad : {"\\", "ab\\", "\\q", "\\x", "\\x4", "\\xG1"})
        EXPECT_FALSE(unescape(bad).has_value()) << bad;
}

} // namespace
} // namespace softswitch::script
