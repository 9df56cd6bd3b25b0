// Receipts written as files: the codes in the PNG decode back to their data
// with zxing-cpp, the text file holds the printed lines, the picture says
// 203 dpi, and the real fonts fill their cells.
#include "decodedcodes.h"
#include "escposjob.h"
#include "fontglyphsource.h"
#include "receiptfolder.h"
#include "receiptrenderer.h"
#include "tempdir.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace render;

namespace {

constexpr int ESC = 0x1B, GS = 0x1D, LF = 0x0A;

// GS ( k with its pL pH counted from the bytes after them.
EscPosJob& functionK(EscPosJob& job, int cn, int fn, const std::string& parameters)
{
    const std::size_t length = parameters.size() + 2;
    return job.command({GS, '(', 'k', int(length & 0xFF), int(length >> 8), cn, fn}, parameters);
}

struct Printed {
    std::string png;
    std::vector<std::string> lines;
};

Printed printToFolder(const EscPosJob& job, const QString& dir)
{
    static FontGlyphSource glyphs;
    ReceiptRenderer renderer(glyphs, [] { return PrinterSetup{{80, 576}, 0, 0}; });
    job.sendTo(renderer);
    renderer.endJob();
    auto receipts = renderer.takeReceipts();
    if (receipts.size() != 1)
        return {};
    ReceiptFolder folder(dir.toStdString());
    return {folder.write(receipts[0]), receipts[0].lines};
}

struct CodeRow {
    const char* name;
    EscPosJob job;
    ZXing::BarcodeFormat format;
    std::string data;
};

TEST(ReceiptCodes, EveryCodeDecodesBackToItsData)
{
    using F = ZXing::BarcodeFormat;
    auto qr = [](const std::string& data, int module) {
        EscPosJob job;
        job.line("QR");
        functionK(job, 49, 67, std::string(1, char(module)));
        functionK(job, 49, 69, "1");
        functionK(job, 49, 80, "0" + data);
        functionK(job, 49, 81, "0");
        return job.command({LF});
    };
    auto pdf417 = [] {
        EscPosJob job;
        job.line("PDF");
        functionK(job, 48, 65, std::string(1, char(3)));
        functionK(job, 48, 67, std::string(1, char(2)));
        functionK(job, 48, 80, "0PDF417 RECEIPT 0042");
        functionK(job, 48, 81, "0");
        return job.command({LF});
    };
    const std::string escZData = "https://example.com/r/7";
    const CodeRow rows[] = {
        {"CODE128 set B with HRI below", EscPosJob().line("X").command({GS, 'H', 2}).command({GS, 'w', 2}).command({GS, 'h', 80}).command({GS, 'k', 73, 9}, "{BABC-123").line(""), F::Code128, "ABC-123"},
        {"CODE128 set C, a byte for two digits", EscPosJob().line("X").command({GS, 'k', 73, 5, '{', 'C', 12, 34, 56}).line(""), F::Code128, "123456"},
        {"EAN13", EscPosJob().line("X").command({GS, 'k', 67, 13}, "4006381333931").line(""), F::EAN13, "4006381333931"},
        {"UPC-A, NUL-ended form", EscPosJob().line("X").command({GS, 'k', 0}, std::string("012345678905") + '\0').line(""), F::UPCA, "012345678905"},
        {"CODE39, NUL-ended form", EscPosJob().line("X").command({GS, 'k', 4}, std::string("CODE39") + '\0').line(""), F::Code39, "CODE39"},
        {"ITF", EscPosJob().line("X").command({GS, 'k', 70, 8}, "12345678").line(""), F::ITF, "12345678"},
        {"QR by GS ( k", qr("https://example.com/receipt/0042", 4), F::QRCode, "https://example.com/receipt/0042"},
        {"QR by ESC Z", EscPosJob().line("QR").command({ESC, 'Z', 0, 'L', 5, int(escZData.size()), 0}, escZData).line(""), F::QRCode, escZData},
        {"PDF417 by GS ( k", pdf417(), F::PDF417, "PDF417 RECEIPT 0042"},
    };
    for (const auto& row : rows) {
        QTemporaryDir dir;
        const Printed printed = printToFolder(row.job, dir.path());
        ASSERT_FALSE(printed.png.empty()) << row.name;
        EXPECT_EQ(decodeCodes(printed.png), (std::vector<DecodedCode>{{row.format, row.data}})) << row.name;
    }
}

TEST(ReceiptFiles, PictureAt203DpiAndTextLinesNumberedOn)
{
    QTemporaryDir dir;
    std::ofstream(dir.filePath("receipt-0007.txt").toStdString());
    EscPosJob job;
    job.line("SHOP").command({GS, 'H', 2}).command({GS, 'k', 73, 6}, "{B9876").line("TOTAL 1.00");
    const Printed printed = printToFolder(job, dir.path());
    EXPECT_EQ(QFileInfo(QString::fromStdString(printed.png)).fileName(), "receipt-0008.png");
    const QImage image(QString::fromStdString(printed.png));
    EXPECT_EQ(image.dotsPerMeterX(), 7992);  // 203 dots an inch
    EXPECT_EQ(image.dotsPerMeterY(), 7992);
    EXPECT_EQ(image.width(), 639);  // 80 mm
    EXPECT_EQ(lines(readFile(dir.filePath("receipt-0008.txt").toStdString())), (std::vector<std::string>{"SHOP", "9876", "TOTAL 1.00"}));
}

TEST(ReceiptFonts, GlyphsFillTheirCells)
{
    FontGlyphSource glyphs;
    ASSERT_TRUE(glyphs.loaded());
    struct Row {
        Font font;
        char32_t character;
        int minHeight;  // a capital fills most of the cell, not a small strike's half
    };
    const Row rows[] = {{Font::A, U'H', 14}, {Font::B, U'H', 9}, {Font::A, U'Ж', 14}, {Font::A, U'€', 14},
                        {Font::B, U'ß', 9},  {Font::A, U'א', 8},  {Font::A, U'╬', 20}};
    for (const auto& row : rows) {
        const Canvas& cell = glyphs.glyph(row.font, row.character);
        EXPECT_EQ(cell.width(), cellSize(row.font).width);
        EXPECT_EQ(cell.height(), cellSize(row.font).height);
        EXPECT_GE(inkBox(cell).height, row.minHeight) << int(row.character);
    }
    // Font B's 8-dot strike leaves the ninth column as the gap between characters.
    const Box m = inkBox(glyphs.glyph(Font::B, U'M'));
    EXPECT_LE(m.x + m.width, 8);
    EXPECT_EQ(inkBox(glyphs.glyph(Font::A, U' ')), Box{});
}

}  // namespace
