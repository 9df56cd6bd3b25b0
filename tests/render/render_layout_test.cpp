// Where the renderer puts dots: every row prints a small job with block
// glyphs (a letter fills its cell, "I" is one dot wide, a space is blank) and
// checks the box the ink covers, worked out from the printer's rules.
#include "escposjob.h"
#include "paperformat.h"
#include "receiptrenderer.h"
#include "tempdir.h"

#include <gtest/gtest.h>

using namespace render;

namespace {

constexpr int ESC = 0x1B, GS = 0x1D, LF = 0x0A, HT = 0x09;

class BlockGlyphs : public GlyphSource {
public:
    const Canvas& glyph(Font font, char32_t character) override
    {
        Canvas& cell = font == Font::A ? m_a : m_b;
        const CellSize size = cellSize(font);
        cell = Canvas(size.width, size.height);
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x)
                if (character != U' ' && (character != U'I' || x == 0))
                    cell.set(x, y);
        return cell;
    }

private:
    Canvas m_a, m_b;
};

// The ink of a receipt, x counted from the start of the printable width.
Box inkBox(const Receipt& receipt) { return ::inkBox(receipt.page, (receipt.page.width() - receipt.paper.printableDots) / 2); }

std::vector<Receipt> print(const EscPosJob& job, PrinterSetup setup = {})
{
    BlockGlyphs glyphs;
    ReceiptRenderer renderer(glyphs, [&] { return setup; });
    job.sendTo(renderer);
    renderer.endJob();
    return renderer.takeReceipts();
}

std::string repeat(int n, char c) { return std::string(std::size_t(n), c); }

struct InkRow {
    const char* name;
    EscPosJob job;
    Box ink;
    PaperFormat paper = {80, 576};
};

TEST(ReceiptLayout, InkFollowsTheFontSizeAlignmentAndAreaRules)
{
    const InkRow rows[] = {
        {"font A is 12 x 24", EscPosJob().line("ABC"), {0, 0, 36, 24}},
        {"centred on 576 dots", EscPosJob().command({ESC, 'a', 1}).line("ABC"), {(576 - 36) / 2, 0, 36, 24}},
        {"centred by the digit form", EscPosJob().command({ESC, 'a', '1'}).line("ABC"), {270, 0, 36, 24}},
        {"right aligned", EscPosJob().command({ESC, 'a', 2}).line("ABC"), {576 - 36, 0, 36, 24}},
        {"centred on 58 mm paper", EscPosJob().command({ESC, 'a', 1}).line("ABC"), {(384 - 36) / 2, 0, 36, 24}, {58, 384}},
        {"centred on 512 dots", EscPosJob().command({ESC, 'a', 1}).line("ABC"), {(512 - 36) / 2, 0, 36, 24}, {80, 512}},
        {"font B is 9 x 17", EscPosJob().command({ESC, 'M', 1}).line("ABC"), {0, 0, 27, 17}},
        {"ESC ! bit 0 picks font B", EscPosJob().command({ESC, '!', 0x01}).line("ABC"), {0, 0, 27, 17}},
        {"GS ! double width", EscPosJob().command({GS, '!', 0x10}).line("ABC"), {0, 0, 72, 24}},
        {"GS ! double height", EscPosJob().command({GS, '!', 0x01}).line("ABC"), {0, 0, 36, 48}},
        {"GS ! three wide four high", EscPosJob().command({GS, '!', 0x23}).line("A"), {0, 0, 36, 96}},
        {"ESC ! double width and height", EscPosJob().command({ESC, '!', 0x30}).line("AB"), {0, 0, 48, 48}},
        {"double width centred", EscPosJob().command({ESC, 'a', 1}).command({GS, '!', 0x10}).line("AB"), {(576 - 48) / 2, 0, 48, 24}},
        {"GS L left margin", EscPosJob().command({GS, 'L', 40, 0}).line("ABC"), {40, 0, 36, 24}},
        {"centred in GS L + GS W area", EscPosJob().command({GS, 'L', 40, 0}).command({GS, 'W', 100, 0}).command({ESC, 'a', 1}).line("A"), {40 + (100 - 12) / 2, 0, 12, 24}},
        {"GS W narrows the line", EscPosJob().command({GS, 'W', 30, 0}).line("AAA"), {0, 0, 24, 54}},
        {"ESC @ resets modes", EscPosJob().command({ESC, 'a', 1}).command({GS, '!', 0x11}).command({GS, 'L', 9, 0}).command({ESC, '@'}).line("ABC"), {0, 0, 36, 24}},
        {"a glyph without bold", EscPosJob().line("I"), {0, 0, 1, 24}},
        {"bold strikes one dot wider", EscPosJob().command({ESC, 'E', 1}).line("I"), {0, 0, 2, 24}},
        {"reverse blackens a space", EscPosJob().command({GS, 'B', 1}).line(" "), {0, 0, 12, 24}},
        {"1-dot underline", EscPosJob().command({ESC, '-', 1}).line(" "), {0, 23, 12, 1}},
        {"2-dot underline", EscPosJob().command({ESC, '-', '2'}).line(" "), {0, 22, 12, 2}},
        {"ESC ! underline bit", EscPosJob().command({ESC, '!', 0x80}).line(" "), {0, 23, 12, 1}},
        {"upside down turns the line", EscPosJob().command({ESC, '{', 1}).line("I "), {575, 0, 1, 24}},
        {"default tabs every 8 columns", EscPosJob().text("I").command({HT}).line("I"), {0, 0, 97, 24}},
        {"ESC D tab in font A columns", EscPosJob().command({ESC, 'D', 4, 10, 0}).text("I").command({HT}).command({HT}).line("I"), {0, 0, 121, 24}},
        {"ESC D tab in double-width columns", EscPosJob().command({GS, '!', 0x10}).command({ESC, 'D', 2, 0}).command({GS, '!', 0}).text("I").command({HT}).line("I"), {0, 0, 49, 24}},
        {"ESC $ absolute position", EscPosJob().command({ESC, '$', 0x2C, 1}).line("A"), {300, 0, 12, 24}},
        {"two lines 30 dots apart", EscPosJob().line("A").line("A"), {0, 0, 12, 30 + 24}},
        {"ESC 3 spacing", EscPosJob().command({ESC, '3', 50}).line("A").line("A"), {0, 0, 12, 74}},
        {"ESC 2 back to 30 dots", EscPosJob().command({ESC, '3', 50}).command({ESC, '2'}).line("A").line("A"), {0, 0, 12, 54}},
        {"a tall line feeds its height", EscPosJob().command({GS, '!', 1}).line("A").command({GS, '!', 0}).line("A"), {0, 0, 12, 48 + 24}},
        {"mixed heights share the baseline", EscPosJob().command({GS, '!', 1}).text("A").command({GS, '!', 0}).line("I"), {0, 0, 13, 48}},
        {"ESC d 2 feeds two lines", EscPosJob().text("A").command({ESC, 'd', 2}).line("A"), {0, 0, 12, 60 + 24}},
        {"ESC J feeds dots", EscPosJob().text("A").command({ESC, 'J', 100}).line("A"), {0, 0, 12, 124}},
        {"the 49th character wraps", EscPosJob().line(repeat(49, 'A')), {0, 0, 576, 30 + 24}},
        {"the 65th font B character wraps", EscPosJob().command({ESC, 'M', 1}).line(repeat(65, 'A')), {0, 0, 576, 30 + 17}},
        {"GS v 0 rows and bits", EscPosJob().command({GS, 'v', '0', 0, 1, 0, 2, 0, 0x80, 0x01}), {0, 0, 8, 2}},
        {"GS v 0 quadruple", EscPosJob().command({GS, 'v', '0', 3, 1, 0, 2, 0, 0x80, 0x01}), {0, 0, 16, 4}},
        {"GS v 0 centred", EscPosJob().command({ESC, 'a', 1}).command({GS, 'v', '0', 0, 1, 0, 1, 0, 0xFF}), {(576 - 8) / 2, 0, 8, 1}},
        {"ESC * 24-dot double density", EscPosJob().command({ESC, '*', 33, 1, 0, 0x80, 0x00, 0x01}).command({LF}), {0, 0, 1, 24}},
        {"ESC * 8-dot single density", EscPosJob().command({ESC, '*', 0, 1, 0, 0x81}).command({LF}), {0, 0, 2, 24}},
        {"ESC * after text", EscPosJob().text("A").command({ESC, '*', 33, 1, 0, 0x00, 0x00, 0x01}).command({LF}), {0, 0, 13, 24}},
    };
    for (const auto& row : rows) {
        auto receipts = print(row.job, {row.paper, 0, 0});
        ASSERT_EQ(receipts.size(), 1u) << row.name;
        EXPECT_EQ(inkBox(receipts[0]), row.ink) << row.name;
    }
}

// CODE128 "AB" in code set B is 57 modules: start, A, B, check (11 each),
// stop (13). The readable text goes centred under or over the bars.
TEST(ReceiptLayout, BarcodeTextIsCentredOnTheBars)
{
    struct Row {
        const char* name;
        int position;  // GS H
        int align;     // ESC a
        Box bars;
        Box text;
    };
    const Row rows[] = {
        {"below, left aligned", 2, 0, {0, 0, 114, 10}, {(114 - 24) / 2, 10, 24, 24}},
        {"above, right aligned", 1, 2, {576 - 114, 24, 114, 10}, {576 - 114 + 45, 0, 24, 24}},
    };
    for (const auto& row : rows) {
        EscPosJob job;
        job.command({ESC, 'a', row.align}).command({GS, 'H', row.position}).command({GS, 'w', 2}).command({GS, 'h', 10});
        job.command({GS, 'k', 73, 4, '{', 'B', 'A', 'B'});
        auto receipts = print(job);
        ASSERT_EQ(receipts.size(), 1u) << row.name;
        EXPECT_EQ(receipts[0].lines, std::vector<std::string>{"AB"}) << row.name;
        // Split the ink by rows: the bars and the text lie one above the other.
        Receipt bars = receipts[0], text = receipts[0];
        for (int y = 0; y < bars.page.height(); ++y)
            for (int x = 0; x < bars.page.width(); ++x) {
                const bool inBars = y >= row.bars.y && y < row.bars.y + row.bars.height;
                (inBars ? text : bars).page.set(x, y, false);
            }
        EXPECT_EQ(inkBox(bars), row.bars) << row.name;
        EXPECT_EQ(inkBox(text), row.text) << row.name;
    }
}

TEST(ReceiptLayout, ACommandInPiecesDrawsLikeTheWholeCommand)
{
    EscPosJob job;
    job.command({GS, 'v', '0', 0, 2, 0, 2, 0, 0x80});
    job.tokens.back().continued = true;
    job.command({0x00, 0x00, 0x01});
    auto receipts = print(job);
    ASSERT_EQ(receipts.size(), 1u);
    EXPECT_EQ(inkBox(receipts[0]), (Box{0, 0, 16, 2}));
}

struct TextRow {
    const char* name;
    EscPosJob job;
    std::vector<std::string> lines;
    int codePage = 0;
    int internationalSet = 0;
};

TEST(ReceiptText, LinesAreTheCharactersAsPrinted)
{
    const TextRow rows[] = {
        {"PC437 by default: 9C is the pound", EscPosJob().line("\x9C"), {"£"}},
        {"ESC t 19 (PC858): D5 is the euro", EscPosJob().command({ESC, 't', 19}).line("\xD5"), {"€"}},
        {"ESC t 2 (PC850): 9B is o slash", EscPosJob().command({ESC, 't', 2}).line("\x9B"), {"ø"}},
        {"ESC t 28 (WPC1251): C0 is Cyrillic A", EscPosJob().command({ESC, 't', 28}).line("\xC0"), {"А"}},
        {"ESC t 1 (katakana): B1 is half-width A", EscPosJob().command({ESC, 't', 1}).line("\xB1"), {"ｱ"}},
        {"the printer's code page 17 (PC866)", EscPosJob().line("\x80"), {"А"}, 17},
        {"ESC t 16 is no page of this printer", EscPosJob().command({ESC, 't', 16}).line("\x9C"), {"£"}},
        {"ESC @ goes back to the printer's page", EscPosJob().command({ESC, 't', 2}).command({ESC, '@'}).line("\x80"), {"А"}, 17},
        {"ESC R 2 (Germany)", EscPosJob().command({ESC, 'R', 2}).line("@[~"), {"§Äß"}},
        {"ESC R 15 (Ex-Yugoslavia)", EscPosJob().command({ESC, 'R', 15}).line("@^`"), {"ŽČž"}},
        {"ESC R 14 is no set of this printer", EscPosJob().command({ESC, 'R', 14}).line("@"), {"@"}},
        {"ESC R 3 (UK)", EscPosJob().command({ESC, 'R', 3}).line("#1"), {"£1"}},
        {"the printer's set 8 (Japan)", EscPosJob().line("\\100"), {"¥100"}, 0, 8},
        {"a tab becomes the spaces it skips", EscPosJob().text("A").command({HT}).line("B"), {"A       B"}},
        {"ESC d 3 prints and feeds 3 lines", EscPosJob().text("X").command({ESC, 'd', 3}).line("Y"), {"X", "", "", "Y"}},
        {"an empty LF is an empty line", EscPosJob().command({LF}).line("Y"), {"", "Y"}},
        {"wrapping splits the text", EscPosJob().line(repeat(50, 'A')), {repeat(48, 'A'), "AA"}},
        {"font B has 64 columns", EscPosJob().command({ESC, 'M', 1}).line(repeat(65, 'B')), {repeat(64, 'B'), "B"}},
        {"double width has 24 columns", EscPosJob().command({GS, '!', 0x10}).line(repeat(25, 'W')), {repeat(24, 'W'), "W"}},
        {"text without LF at the job's end", EscPosJob().text("TAIL"), {"TAIL"}},
    };
    for (const auto& row : rows) {
        auto receipts = print(row.job, {{80, 576}, row.codePage, row.internationalSet});
        ASSERT_EQ(receipts.size(), 1u) << row.name;
        EXPECT_EQ(receipts[0].lines, row.lines) << row.name;
    }
}

TEST(ReceiptBoundaries, CutsEndReceiptsAndTheSetupIsReadForEach)
{
    PrinterSetup setup{{80, 576}, 0, 0};
    BlockGlyphs glyphs;
    ReceiptRenderer renderer(glyphs, [&] { return setup; });
    EscPosJob().line("A").command({ESC, 'p', 0, 25, 250}).command({GS, 'V', 0}).sendTo(renderer);
    setup.paper = {58, 384};
    EscPosJob().line("B").command({ESC, 'p', '1', 50, 50}).command({GS, 'V', 66, 10}).command({ESC, '@'}).sendTo(renderer);
    renderer.endJob();  // ESC @ alone prints nothing: no third receipt

    auto receipts = renderer.takeReceipts();
    ASSERT_EQ(receipts.size(), 2u);
    EXPECT_EQ(receipts[0].lines, std::vector<std::string>{"A"});
    EXPECT_EQ(receipts[0].cut, Cut::Full);
    ASSERT_EQ(receipts[0].pulses.size(), 1u);
    EXPECT_EQ(receipts[0].pulses[0].pin, 2);
    EXPECT_EQ(receipts[0].pulses[0].onMs, 50);
    EXPECT_EQ(receipts[0].pulses[0].offMs, 500);
    EXPECT_EQ(receipts[0].page.width(), 639);  // 80 mm at 203 dpi
    EXPECT_EQ(receipts[0].page.height(), 30);

    EXPECT_EQ(receipts[1].lines, std::vector<std::string>{"B"});
    EXPECT_EQ(receipts[1].cut, Cut::Partial);
    ASSERT_EQ(receipts[1].pulses.size(), 1u);
    EXPECT_EQ(receipts[1].pulses[0].pin, 5);
    EXPECT_EQ(receipts[1].page.width(), 464);  // 58 mm
    EXPECT_EQ(receipts[1].page.height(), 30 + 10);
    EXPECT_TRUE(renderer.takeReceipts().empty());
}

TEST(ReceiptBoundaries, EndlessFeedingEndsAReceiptAfterTenMetres)
{
    EscPosJob job;
    for (int i = 0; i < 320; ++i)
        job.command({ESC, 'J', 255});
    job.line("A");
    const auto receipts = print(job);
    ASSERT_EQ(receipts.size(), 2u);
    EXPECT_EQ(receipts[0].page.height(), 314 * 255);  // the first feed past 80000 dots (10 m at 203 dpi)
    EXPECT_EQ(receipts[0].cut, Cut::None);
    EXPECT_EQ(receipts[1].page.height(), 6 * 255 + 30);
    EXPECT_EQ(receipts[1].lines, std::vector<std::string>{"A"});
}

TEST(PaperFormat, FollowsTheSwitch1WidthTexts)
{
    for (const auto& row : tableRows(RENDER_TEST_DATA "/paper.rows")) {
        const PaperFormat got = paperFormat(row.at(0), std::uint8_t(std::stoi(row.at(1), nullptr, 16)));
        EXPECT_EQ(got.paperMm, std::stoi(row.at(2))) << row.at(0) << " sw1 " << row.at(1);
        EXPECT_EQ(got.printableDots, std::stoi(row.at(3))) << row.at(0) << " sw1 " << row.at(1);
    }
}

}  // namespace
