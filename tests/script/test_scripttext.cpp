#include "script/scripttext.h"

#include <gtest/gtest.h>

namespace softswitch::script {
namespace {

TEST(ScriptText, UnescapeReadsWhatQuotedWrites)
{
    const std::pair<const char*, std::string> rows[] = {
        {"TCP/IP", "TCP/IP"},     {"a\\rb", "a\rb"},          {"a\\nb", "a\nb"},
        {"30\\0", {"30\0", 3}},   {"\\t", "\t"},              {"C:\\\\dir", "C:\\dir"},
        {"say \\\"hi\\\"", "say \"hi\""}, {"\\x1d\\x67", "\x1d\x67"}, {"\\xFF", "\xff"},
        {"\\x414", "A4"},         {"  ON ", "  ON "},
    };
    for (const auto& [scriptText, bytes] : rows) {
        EXPECT_EQ(unescape(scriptText), bytes) << scriptText;
        const std::string q = script::quoted(bytes);
        ASSERT_GE(q.size(), 2u);
        EXPECT_EQ(q.front() + q.substr(q.size() - 1), "\"\"");
        EXPECT_EQ(unescape(q.substr(1, q.size() - 2)), bytes) << q;
    }
    for (const char* bad : {"\\", "ab\\", "\\q", "\\x", "\\x4", "\\xG1"})
        EXPECT_FALSE(unescape(bad).has_value()) << bad;
}

TEST(ScriptText, QuotedOutputUsesTheShortEscapes)
{
    EXPECT_EQ(script::quoted("The COM1 can not OPEN !!\r\rPlease"), "\"The COM1 can not OPEN !!\\r\\rPlease\"");
    EXPECT_EQ(script::quoted(std::string("30\0", 3)), "\"30\\0\"");
    EXPECT_EQ(script::quoted("\x1b!\x01\xe9"), "\"\\x1B!\\x01\\xE9\"");
    EXPECT_EQ(script::quoted(""), "\"\"");
}

} // namespace
} // namespace softswitch::script
