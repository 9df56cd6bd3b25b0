// The emulator's paper: receipts reach the folder at a cut, at the end of an
// idle job, and when the printer stops; the setup follows the printer's state.
#include "escposjob.h"
#include "printerstate.h"
#include "receiptprinter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

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
        EscPosJob twoReceipts;
        twoReceipts.line("ONE").command({ESC, 'p', 0, 25, 250}).command({GS, 'V', 1}).line("TWO");
        for (const auto& token : twoReceipts.tokens)
            printer.consume(token);
        // The second receipt has no cut: it ends once the job has been idle.
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (receiptFiles(dir).size() < 4 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(5ms);
        EXPECT_EQ(receiptFiles(dir), (QStringList{"receipt-0001.png", "receipt-0001.txt", "receipt-0002.png", "receipt-0002.txt"}));
        EscPosJob unfinished;
        unfinished.text("THREE");
        for (const auto& token : unfinished.tokens)
            printer.consume(token);
    }
    EXPECT_EQ(receiptFiles(dir).size(), 6);
    QFile third(dir.filePath("receipt-0003.txt"));
    ASSERT_TRUE(third.open(QIODevice::ReadOnly));
    EXPECT_EQ(third.readAll(), "THREE\n");
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_NE(notes[0].find("partial cut, drawer pulse pin 2 50/500 ms"), std::string::npos) << notes[0];
    EXPECT_NE(notes[1].find("no cut"), std::string::npos) << notes[1];
}

}  // namespace
