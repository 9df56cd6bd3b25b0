// printer-emulator: a virtual receipt printer on TCP and a pseudo-terminal.
#include "emulatoroptions.h"
#include "emulatorserver.h"
#include "printeremulator.h"
#include "receiptprinter.h"
#include "transcript.h"

#include <malloc.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using namespace emulator;

    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "printer-emulator " SOFTSWITCH_VERSION "\n";
        return 0;
    }
    std::string renderError;
    const std::string renderDir = render::takeRenderOption(args, renderError);
    const OptionsResult parsed = parseOptions(args, OptionScope::Executable);
    if (!parsed.error.empty() || !renderError.empty()) {
        const std::string& error = renderError.empty() ? parsed.error : renderError;
        // One line, so a script that runs us can show it as it is.
        std::cerr << "printer-emulator: " << error << " (see --help)\n";
        return 2;
    }
    const EmulatorOptions& options = parsed.options;
    if (options.help) {
        std::cout << usageText(OptionScope::Executable) << "\nreceipts:\n" << render::kRenderUsage;
        return 0;
    }

    // Stop signals arrive through a descriptor the poll loop watches, so a
    // stop never interrupts a half-written reply or transcript line.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    const int signalFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);
    signal(SIGPIPE, SIG_IGN);
    // Started in the background of a terminal, reading the control lines
    // from it would stop the emulator; ignored, the read fails instead and
    // the emulator serves on without them.
    signal(SIGTTIN, SIG_IGN);
#ifdef __GLIBC__
    // A big print job's buffers (a megabyte image, read, tokenized, handed
    // to the renderer) come and go with every job: taken from the heap and
    // kept there, rather than mapped afresh and faulted in page by page.
    mallopt(M_MMAP_THRESHOLD, 16 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif

    Transcript transcript;
    if (!options.transcriptPath.empty() && !transcript.open(options.transcriptPath)) {
        std::cerr << "printer-emulator: cannot open transcript " << options.transcriptPath << "\n";
        return 1;
    }
    PrinterEmulator printer(options.state, options.faults);
    // Without a transcript nobody asks for the lines, and the session does
    // not assemble them.
    if (transcript.isOpen())
        printer.setEventHandler([&transcript](const Event& event) { transcript.record(event); });
    printer.setNoteHandler([](const std::string& note) { std::cerr << "printer-emulator: " << note << "\n"; });
    std::optional<render::ReceiptPrinter> receipts;
    if (!renderDir.empty()) {
        receipts.emplace(renderDir, [&printer] { return render::setupOf(printer.state()); },
                         [](const std::string& note) { std::cerr << "printer-emulator: " << note << "\n"; });
        printer.setTokenHandler([&receipts](EscPosToken token) { receipts->consume(std::move(token)); });
        printer.setConnectionEndHandler([&receipts] { receipts->endJob(); });
    }

    {
        EmulatorServer server(printer, options);
        if (const std::string error = server.start(); !error.empty()) {
            std::cerr << "printer-emulator: " << error << "\n";
            return 1;
        }
        // Whoever started us waits for these lines: flush them at once.
        for (const std::string& line : server.readyLines())
            std::cout << line << '\n';
        std::cout << std::flush;
        server.run(signalFd, [&transcript] { return transcript.failed(); });
    }
    close(signalFd);
    if (transcript.failed()) {
        // Going on would leave a transcript that silently misses bytes.
        std::cerr << "printer-emulator: cannot write transcript " << options.transcriptPath << "\n";
        return 1;
    }
    return 0;
}
