#pragma once
// The virtual printer's paper: tokens in, receipt files out. A cut ends a
// receipt at once; a job that stops without one ends after an idle gap.
// Receipts are drawn and written on a worker thread, so the connection keeps
// being read; each token takes along the printer's setup as it came.

#include "fontglyphsource.h"
#include "receiptfolder.h"
#include "receiptrenderer.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace emulator {
class PrinterState;
}

namespace render {

// Takes `--render DIR` (or `--render=DIR`) out of the arguments. Returns the
// folder, or empty text when the option is not there; `error` says what is
// wrong with it.
std::string takeRenderOption(std::vector<std::string>& args, std::string& error);
inline constexpr const char* kRenderUsage =
    "  --render DIR             draw every receipt as DIR/receipt-NNNN.png (203 dpi) and .txt\n";

// The setup a receipt begins with: paper from the model and switch 1, the
// code page and international set the printer is set to.
PrinterSetup setupOf(const emulator::PrinterState& state);

class ReceiptPrinter {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kJobIdleGap{1000};

    // `note` hears one line per receipt written (and per failure).
    ReceiptPrinter(std::string dir, ReceiptRenderer::SetupSource setup,
                   std::function<void(const std::string&)> note = {},
                   std::chrono::milliseconds idleGap = kJobIdleGap);
    // Ends an unfinished receipt and writes everything still due.
    ~ReceiptPrinter();
    ReceiptPrinter(const ReceiptPrinter&) = delete;
    ReceiptPrinter& operator=(const ReceiptPrinter&) = delete;

    void consume(emulator::EscPosToken token);
    // The job ended (its connection closed): an unfinished receipt ends now,
    // after the tokens before it, without waiting for the idle gap.
    void endJob();

private:
    struct Pending {
        emulator::EscPosToken token;
        PrinterSetup setup;
        bool endOfJob = false;
    };

    void work();
    void writeDone();

    ReceiptRenderer::SetupSource m_setup;
    PrinterSetup m_current;  // the setup of the token being drawn (worker only)
    FontGlyphSource m_glyphs;
    ReceiptRenderer m_renderer;
    ReceiptFolder m_folder;
    std::function<void(const std::string&)> m_note;
    std::chrono::milliseconds m_idleGap;
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<Pending> m_queue;
    Clock::time_point m_lastToken{};
    bool m_jobOpen = false;
    bool m_stopping = false;
    std::thread m_worker;
};

}  // namespace render
