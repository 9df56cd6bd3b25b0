// Receipt rendering figures: a typical 40-line receipt with a QR code and a
// CODE128 barcode drawn in-process (layout and codes, then PNG and text
// files), and a 1 MB raster job sent over loopback TCP to printer-emulator
// --render against the same bytes sent to a plain loopback sink; peak RSS.
// Prints figures only; nothing here passes or fails on time.
//
//   render_bench [--picture FILE]   FILE: also write the sample receipt there

#include "escposjob.h"
#include "fontglyphsource.h"
#include "receiptfolder.h"
#include "receiptrenderer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int ESC = 0x1B, GS = 0x1D, LF = 0x0A;

EscPosJob& functionK(EscPosJob& job, int cn, int fn, const std::string& parameters)
{
    const std::size_t length = parameters.size() + 2;
    return job.command({GS, '(', 'k', int(length & 0xFF), int(length >> 8), cn, fn}, parameters);
}

std::string padded(const std::string& left, const std::string& right, std::size_t width)
{
    return left + std::string(width - left.size() - right.size(), ' ') + right;
}

// What a shop's till prints: header, 30 item lines, totals, barcode, QR, cut.
EscPosJob typicalReceipt()
{
    EscPosJob job;
    job.command({ESC, '@'}).command({ESC, 'a', 1}).command({GS, '!', 0x11}).line("CORNER SHOP");
    job.command({GS, '!', 0}).line("12 Market Street").line("Tel 0123 456 789").command({LF});
    job.command({ESC, 'a', 0}).line(padded("Receipt 0042", "2026-12-06 09:41", 42));
    job.command({ESC, 'M', 1}).line("Till 3   Operator: ANNA").command({ESC, 'M', 0});
    job.line(std::string(42, '-'));
    for (int i = 1; i <= 30; ++i) {
        const std::string price = std::to_string(i * 37 % 900 / 100) + "." + std::to_string(10 + i * 37 % 90);
        job.line(padded("Item " + std::to_string(i) + " Bread/Milk/Eggs", price, 42));
    }
    job.line(std::string(42, '-'));
    job.command({ESC, 'E', 1}).command({GS, '!', 0x01}).line(padded("TOTAL", "EUR 123.45", 42));
    job.command({GS, '!', 0}).command({ESC, 'E', 0}).line(padded("VAT 20%", "20.58", 42));
    job.command({GS, 'B', 1}).line(" PAID BY CARD ").command({GS, 'B', 0}).command({ESC, '-', 1}).line("Thank you!").command({ESC, '-', 0});
    job.command({ESC, 'a', 1}).command({GS, 'H', 2}).command({GS, 'h', 60}).command({GS, 'w', 2});
    job.command({GS, 'k', 73, 14}, "{B0042-2026-12");
    functionK(job, 49, 67, std::string(1, char(4)));
    functionK(job, 49, 80, "0https://example.com/receipt/0042");
    functionK(job, 49, 81, "0");
    job.command({ESC, 'd', 3}).command({GS, 'V', 66, 0});
    return job;
}

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string picture;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--picture")
            picture = argv[i + 1];

    render::FontGlyphSource glyphs;
    const auto setup = [] { return render::PrinterSetup{{80, 576}, 0, 0}; };
    render::ReceiptRenderer renderer(glyphs, setup);
    const EscPosJob job = typicalReceipt();
    QTemporaryDir dir;
    render::ReceiptFolder folder(dir.path().toStdString());

    constexpr int kRuns = 200;
    Clock::duration drawing{}, writing{};
    std::size_t lines = 0;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        for (const auto& token : job.tokens)
            renderer.consume(token);
        auto receipts = renderer.takeReceipts();
        const auto drawn = Clock::now();
        for (const auto& receipt : receipts) {
            lines = receipt.lines.size();
            folder.write(receipt);
        }
        writing += Clock::now() - drawn;
        drawing += drawn - start;
        if (run == 0 && !picture.empty() && !receipts.empty())
            QFile::remove(QString::fromStdString(picture)), QFile::copy(dir.filePath("receipt-0001.png"), QString::fromStdString(picture));
    }
    const auto perReceipt = [](Clock::duration total) {
        return std::chrono::duration<double, std::milli>(total).count() / kRuns;
    };
    std::printf("typical receipt (%zu text lines, CODE128, QR), %d runs\n", lines, kRuns);
    std::printf("  layout and codes   %7.2f ms a receipt\n", perReceipt(drawing));
    std::printf("  PNG and text files %7.2f ms a receipt\n", perReceipt(writing));
    std::printf("  total              %7.2f ms a receipt (goal < 20 ms)\n", perReceipt(drawing + writing));
    std::printf("peak RSS %ld kB\n", peakRssKb());
    return 0;
}
