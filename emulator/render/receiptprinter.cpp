#include "receiptprinter.h"

#include "printerstate.h"

#include <charconv>
#include <utility>

namespace render {
namespace {

int number(const std::string& text, int fallback)
{
    int value = fallback;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : fallback;
}

std::string describe(const std::string& picture, const Receipt& receipt)
{
    std::string line = "receipt " + picture + ": " + std::to_string(receipt.lines.size()) + " lines, " +
                       std::to_string(receipt.paper.printableDots) + " dots on " +
                       std::to_string(receipt.paper.paperMm) + " mm";
    line += receipt.cut == Cut::Full ? ", full cut" : receipt.cut == Cut::Partial ? ", partial cut" : ", no cut";
    for (const auto& pulse : receipt.pulses)
        line += ", drawer pulse pin " + std::to_string(pulse.pin) + " " + std::to_string(pulse.onMs) + "/" +
                std::to_string(pulse.offMs) + " ms";
    return line;
}

}  // namespace

std::string takeRenderOption(std::vector<std::string>& args, std::string& error)
{
    std::string dir;
    for (auto at = args.begin(); at != args.end();) {
        if (*at == "--render") {
            if (at + 1 == args.end() || (at + 1)->empty()) {
                error = "--render needs a folder";
                return {};
            }
            dir = *(at + 1);
            at = args.erase(at, at + 2);
        } else if (at->starts_with("--render=")) {
            dir = at->substr(9);
            if (dir.empty()) {
                error = "--render needs a folder";
                return {};
            }
            at = args.erase(at);
        } else {
            ++at;
        }
    }
    return dir;
}

PrinterSetup setupOf(const emulator::PrinterState& state)
{
    using emulator::Field;
    PrinterSetup setup;
    setup.paper = paperFormat(state.value(Field::Model), std::uint8_t(number(state.value(Field::Sw1), 0)));
    setup.codePage = number(state.value(Field::CodePage), 0);
    setup.internationalSet = number(state.value(Field::InterChars), 0);
    return setup;
}

ReceiptPrinter::ReceiptPrinter(std::string dir, ReceiptRenderer::SetupSource setup,
                               std::function<void(const std::string&)> note, std::chrono::milliseconds idleGap)
    : m_setup(std::move(setup)),
      m_current(m_setup()),
      m_renderer(m_glyphs, [this] { return m_current; }),
      m_folder(std::move(dir)),
      m_note(std::move(note)),
      m_idleGap(idleGap),
      m_worker([this] { work(); })
{
    if (!m_glyphs.loaded() && m_note)
        m_note("no font found (fonts-terminus-otb, fonts-dejavu-core): receipts are drawn without text");
}

ReceiptPrinter::~ReceiptPrinter()
{
    {
        std::lock_guard guard(m_lock);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_worker.join();
}

void ReceiptPrinter::consume(emulator::EscPosToken token)
{
    Pending pending{std::move(token), m_setup()};
    {
        std::lock_guard guard(m_lock);
        m_queue.push_back(std::move(pending));
        m_lastToken = Clock::now();
        m_jobOpen = true;
    }
    m_wake.notify_one();
}

void ReceiptPrinter::endJob()
{
    {
        std::lock_guard guard(m_lock);
        m_queue.push_back({{}, {}, true});
        m_jobOpen = false;
    }
    m_wake.notify_one();
}

void ReceiptPrinter::writeDone()
{
    for (const auto& receipt : m_renderer.takeReceipts()) {
        const std::string picture = m_folder.write(receipt);
        if (m_note)
            m_note(picture.empty() ? std::string("cannot write a receipt file") : describe(picture, receipt));
    }
}

// Only this thread touches the renderer and the folder.
void ReceiptPrinter::work()
{
    std::unique_lock lock(m_lock);
    for (;;) {
        while (!m_queue.empty()) {
            Pending next = std::move(m_queue.front());
            m_queue.pop_front();
            lock.unlock();
            if (next.endOfJob) {
                m_renderer.endJob();
            } else {
                m_current = next.setup;
                m_renderer.consume(next.token);
            }
            writeDone();
            lock.lock();
        }
        if (m_stopping || (m_jobOpen && Clock::now() - m_lastToken >= m_idleGap)) {
            const bool stopping = m_stopping;
            m_jobOpen = false;
            lock.unlock();
            m_renderer.endJob();
            writeDone();
            lock.lock();
            if (stopping && m_queue.empty())
                return;
            continue;
        }
        if (m_jobOpen)
            m_wake.wait_until(lock, m_lastToken + m_idleGap);
        else
            m_wake.wait(lock);
    }
}

}  // namespace render
