// libKR5050 backed by the emulator: the printer lives inside the calling
// process. Configured once, at the first call, from KR5050_EMULATOR, which
// holds the options of printer-emulator that make sense in-process:
//   KR5050_EMULATOR="--set model=KR-31 --set sw1=5 --transcript /tmp/t.txt --split-reply 4"
#include "emulatoroptions.h"
#include "kr5050/sendx.h"
#include "printeremulator.h"
#include "transcript.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>

namespace {

using emulator::EmulatorOptions;
using kr5050::SendxResult;
using kr5050::toResult;
using Clock = std::chrono::steady_clock;

class InProcessPrinter {
public:
    InProcessPrinter()
    {
        const char* text = std::getenv("KR5050_EMULATOR");
        emulator::OptionsResult parsed = emulator::parseOptionText(text ? text : "", emulator::OptionScope::InProcess);
        if (!parsed.error.empty()) {
            // Said once; every call then fails as if no printer were there.
            std::cerr << "libKR5050 (emulated): KR5050_EMULATOR: " << parsed.error << "\n"
                      << emulator::usageText(emulator::OptionScope::InProcess);
            return;
        }
        m_options = std::move(parsed.options);
        if (!m_options.transcriptPath.empty() && !m_transcript.open(m_options.transcriptPath)) {
            std::cerr << "libKR5050 (emulated): cannot open transcript " << m_options.transcriptPath << "\n";
            return;
        }
        m_printer = std::make_unique<emulator::PrinterEmulator>(m_options.state, m_options.faults);
        if (m_transcript.isOpen())
            m_printer->setEventHandler([this](const emulator::Event& event) { m_transcript.record(event); });
        m_session = std::make_unique<emulator::EmulatorSession>(*m_printer);
    }

    ~InProcessPrinter()
    {
        // The session reports its last print data before the printer goes.
        m_session.reset();
    }

    int32_t write(const char* bytes, std::size_t count)
    {
        if (const int32_t refused = unavailable(); refused != 0)
            return refused;
        std::string reply = m_session->feed(std::string_view(bytes, count));
        if (m_transcript.failed() && !m_transcriptFailureTold) {
            std::cerr << "libKR5050 (emulated): cannot write transcript " << m_options.transcriptPath << "\n";
            m_transcriptFailureTold = true;
        }
        // As in the server: a caller that never reads cannot grow the queue.
        if (!reply.empty() && m_unreadBytes < emulator::kMaxUnreadReplyBytes) {
            m_unreadBytes += reply.size();
            m_replies.push_back({std::move(reply), Clock::now() + m_options.faults.replyDelay});
        }
        return toResult(SendxResult::Ok);
    }

    // Hands out the next reply bytes that are ready: at most the buffer
    // size, and at most one piece of a split reply per call. Bytes that are
    // not read stay queued, as in a printer's output buffer.
    int32_t read(char* buffer, std::size_t size)
    {
        if (const int32_t refused = unavailable(); refused != 0)
            return refused;
        std::size_t limit = size;
        if (m_options.faults.splitReply != 0)
            limit = std::min(limit, m_options.faults.splitReply);
        std::size_t filled = 0;
        const Clock::time_point now = Clock::now();
        while (filled < limit && !m_replies.empty() && m_replies.front().ready <= now) {
            std::string& front = m_replies.front().bytes;
            const std::size_t take = std::min(limit - filled, front.size());
            std::memcpy(buffer + filled, front.data(), take);
            filled += take;
            m_unreadBytes -= take;
            front.erase(0, take);
            if (front.empty())
                m_replies.pop_front();
        }
        std::memset(buffer + filled, 0, size - filled);
        return toResult(SendxResult::Ok);
    }

private:
    struct PendingReply {
        std::string bytes;
        Clock::time_point ready;
    };

    int32_t unavailable() const
    {
        if (!m_session)
            return toResult(SendxResult::NoDevice);
        // Drop-after: the line stays cut until the library is loaded again.
        if (m_session->dropRequested() && m_replies.empty())
            return toResult(SendxResult::LineDropped);
        return 0;
    }

    EmulatorOptions m_options;
    emulator::Transcript m_transcript;
    std::unique_ptr<emulator::PrinterEmulator> m_printer;
    std::unique_ptr<emulator::EmulatorSession> m_session;
    std::deque<PendingReply> m_replies;
    std::size_t m_unreadBytes = 0;  // in m_replies
    bool m_transcriptFailureTold = false;
};

std::mutex g_mutex;

InProcessPrinter& printer()
{
    static InProcessPrinter instance;
    return instance;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int32_t sendx(char* data, const char* /*port*/, int32_t /*baud*/,
                                                                 int32_t /*a4*/, int32_t length, int32_t mode,
                                                                 int32_t bufferLength, char* buffer)
{
    std::lock_guard lock(g_mutex);
    return kr5050::dispatch(printer(), data, length, mode, bufferLength, buffer);
}
