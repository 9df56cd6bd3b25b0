// The emulator's paper: receipts reach the folder at a cut, at the end of an
// idle job, and when the printer stops; the setup follows the printer's state.
#include "emulatorprocess.h"
#include "escposjob.h"
#include "printeremulator.h"
#include "printerstate.h"
#include "receiptprinter.h"
#include "tempdir.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>

using namespace render;
using namespace std::chrono_literals;

namespace {

constexpr int ESC = 0x1B, GS = 0x1D;

QStringList receiptFiles(const QTemporaryDir& dir) { return QDir(dir.path()).entryList({"receipt-*"}, QDir::Files, QDir::Name); }

TEST(ReceiptPrinter, SetupFollowsThePrinterState)
{
    emulator::PrinterState state;
    ASSERT_EQ(state.set("model", "KR-5050"), "");
    ASSERT_EQ(state.set("sw1", "12"), "");  // bits 3 and 4: 58 mm, 432 dots
    ASSERT_EQ(state.set("codepage", "16"), "");
    ASSERT_EQ(state.set("interchars", "2"), "");
    const PrinterSetup setup = setupOf(state);
    EXPECT_EQ(setup.paper, (PaperFormat{58, 432}));
    EXPECT_EQ(setup.codePage, 16);
    EXPECT_EQ(setup.internationalSet, 2);
}

// The bytes go through the printer's own tokenizer, as in printer-emulator.
TEST(ReceiptPrinter, ASwitch1WriteGivesTheNextReceiptItsWidth)
{
    emulator::PrinterEmulator printer;  // a KR-5050, switch 1 all OFF: 80 mm, 512 dots
    FontGlyphSource glyphs;
    ReceiptRenderer renderer(glyphs, [&] { return setupOf(printer.state()); });
    printer.setTokenHandler([&](const emulator::EscPosToken& token) { renderer.consume(token); });
    emulator::EmulatorSession session(printer);
    const std::string centredAbcCut = "\x1B\x61\x01" "ABC\n" "\x1D\x56\x01";  // ESC a 1, text, GS V 1
    session.feed(centredAbcCut);
    // Unlock, switch 1 = 8 (bit 4: 58 mm, 424 dots), lock.
    session.feed(std::string("\x1D\x67\x75\x6E\x6C\x00" "\x1D\x67\x38\x27" "8\0\0\0" "\x1D\x67\x6C\x63\x6B\x00", 20));
    session.feed(centredAbcCut);
    const auto receipts = renderer.takeReceipts();
    ASSERT_EQ(receipts.size(), 2u);
    const struct {
        PaperFormat paper;
        int paperDots;
    } expected[] = {{{80, 512}, 639}, {{58, 424}, 464}};
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(receipts[i].paper, expected[i].paper);
        EXPECT_EQ(receipts[i].lines, std::vector<std::string>{"ABC"});
        const Canvas& page = receipts[i].page;
        ASSERT_EQ(page.width(), expected[i].paperDots);
        // "ABC" centred: its three cells start (printable - 36) / 2 into the printable width.
        const int cells = (page.width() - expected[i].paper.printableDots) / 2 + (expected[i].paper.printableDots - 36) / 2;
        const Box ink = inkBox(page);
        EXPECT_GE(ink.x, cells);
        EXPECT_LT(ink.x, cells + 12);
        EXPECT_LT(ink.x + ink.width - 1, cells + 36);
        EXPECT_GE(ink.x + ink.width - 1, cells + 24);
    }
}

TEST(ReceiptPrinter, CutIdleGapAndStopEachEndAReceipt)
{
    QTemporaryDir dir;
    std::vector<std::string> notes;
    std::mutex notesLock;
    {
        ReceiptPrinter printer(dir.path().toStdString(), [] { return PrinterSetup{}; },
                               [&](const std::string& note) {
                                   std::lock_guard guard(notesLock);
                                   notes.push_back(note);
                               },
                               50ms);
        EscPosJob().line("ONE").command({ESC, 'p', 0, 25, 250}).command({GS, 'V', 1}).line("TWO").sendTo(printer);
        // The second receipt has no cut: it ends once the job has been idle.
        waitUntil([&] { return receiptFiles(dir).size() >= 4; });
        EXPECT_EQ(receiptFiles(dir), (QStringList{"receipt-0001.png", "receipt-0001.txt", "receipt-0002.png", "receipt-0002.txt"}));
        EscPosJob().text("THREE").sendTo(printer);
    }
    EXPECT_EQ(receiptFiles(dir).size(), 6);
    EXPECT_EQ(readFile(dir.filePath("receipt-0003.txt").toStdString()), "THREE\n");
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_NE(notes[0].find("partial cut, drawer pulse pin 2 50/500 ms"), std::string::npos) << notes[0];
    EXPECT_NE(notes[1].find("no cut"), std::string::npos) << notes[1];
}

TEST(ReceiptPrinter, TheEndOfAJobEndsItsReceiptWithoutWaiting)
{
    QTemporaryDir dir;
    ReceiptPrinter printer(dir.path().toStdString(), [] { return PrinterSetup{}; }, {}, std::chrono::hours(1));
    EscPosJob().text("UNCUT").sendTo(printer);
    printer.endJob();
    waitUntil([&] { return receiptFiles(dir).size() >= 2; });
    EXPECT_EQ(receiptFiles(dir), (QStringList{"receipt-0001.png", "receipt-0001.txt"}));
}

}  // namespace
