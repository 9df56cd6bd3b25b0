// Where the renderer puts dots: every row prints a small job with block
// glyphs (a letter fills its cell, "I" is one dot wide, a space is blank) and
// checks the box the ink covers, worked out from the printer's rules.
#include "escposjob.h"
#include "printeremulator.h"
#include "paperformat.h"
#include "receiptrenderer.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

using namespace render;

namespace {

constexpr int ESC = 0x1B, GS = 0x1D;

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

// Bytes as the rows spell them, "1B 61 01", with "41*49" for 49 times 41,
// cut into tokens by the printer's own command grammar.
EscPosJob parsed(const std::string& hex)
{
    std::string bytes;
    std::istringstream words(hex);
    for (std::string word; words >> word;)
        bytes.append(word.size() > 3 ? std::stoul(word.substr(3)) : 1, char(std::stoi(word.substr(0, 2), nullptr, 16)));
    EscPosJob job;
    emulator::PrinterEmulator printer;
    printer.setTokenHandler([&job](const emulator::EscPosToken& token) { job.tokens.push_back(token); });
    emulator::EmulatorSession session(printer);
    session.feed(bytes);
    session.close();
    return job;
}

std::vector<int> numbers(const std::string& text)
{
    std::istringstream words(text);
    return {std::istream_iterator<int>(words), {}};
}

TEST(ReceiptLayout, InkFollowsTheFontSizeAlignmentAndAreaRules)
{
    for (const auto& row : tableRows(RENDER_TEST_DATA "/ink.rows")) {
        const std::vector<int> box = numbers(row.at(2)), paper = numbers(row.size() > 3 ? row[3] : "80 576");
        auto receipts = print(parsed(row.at(1)), {{paper.at(0), paper.at(1)}, 0, 0});
        ASSERT_EQ(receipts.size(), 1u) << row[0];
        EXPECT_EQ(inkBox(receipts[0]), (Box{box.at(0), box.at(1), box.at(2), box.at(3)})) << row[0];
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

TEST(ReceiptText, LinesAreTheCharactersAsPrinted)
{
    for (const auto& row : tableRows(RENDER_TEST_DATA "/text.rows")) {
        auto receipts = print(parsed(row.at(1)), {{80, 576}, std::stoi(row.at(3)), std::stoi(row.at(4))});
        ASSERT_EQ(receipts.size(), 1u) << row[0];
        std::vector<std::string> expected;
        std::istringstream lines(row.at(2) + ";");
        for (std::string line; std::getline(lines, line, ';');)
            expected.push_back(line);
        EXPECT_EQ(receipts[0].lines, expected) << row[0];
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
