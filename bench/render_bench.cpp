// Receipt rendering figures: a typical 40-line receipt with a QR code and a
// CODE128 barcode drawn in-process (layout and codes, then PNG and text
// files); a 1 MB raster job drawn in-process, and sent over loopback TCP to
// printer-emulator --render (taken: read and tokenized up to the answer of a
// status request sent behind it; the drawing goes on in the background until
// the files are there) against the same bytes sent to a plain loopback reader
// that answers one byte at the end, to the emulator without --render and
// with a transcript; peak RSS. Each figure is the best (and the median) of
// several jobs. Prints figures only; nothing here passes or fails on time.
//
//   render_bench [--picture FILE]   FILE: also write the sample receipt there

#include "emulatorprocess.h"
#include "escposjob.h"
#include "fontglyphsource.h"
#include "receiptfolder.h"
#include "receiptrenderer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

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

// A 576-dot wide GS v 0 picture of about 1 MB, then a cut.
std::vector<std::uint8_t> rasterJob()
{
    constexpr int kRowBytes = 72;
    constexpr int kRows = (1 << 20) / kRowBytes;
    std::vector<std::uint8_t> job{GS, 'v', '0', 0, kRowBytes, 0, kRows & 0xFF, kRows >> 8};
    for (int r = 0; r < kRows; ++r)
        for (int b = 0; b < kRowBytes; ++b)
            job.push_back(std::uint8_t((r / 8 + b) % 3 == 0 ? 0xF0 : 0x0F));
    job.insert(job.end(), {GS, 'V', 0});
    return job;
}

int connectTo(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

void sendAll(int fd, const std::vector<std::uint8_t>& bytes)
{
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += std::size_t(n);
    }
}

// The same bytes to a listener of our own that only reads: the loopback's pace.
double loopbackSeconds(const std::vector<std::uint8_t>& bytes)
{
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener, 1);
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    const std::size_t total = bytes.size();
    std::thread reader([listener, total] {
        const int fd = accept(listener, nullptr, nullptr);
        std::vector<char> buffer(1 << 16);
        std::size_t received = 0;
        while (received < total) {
            const ssize_t n = recv(fd, buffer.data(), buffer.size(), 0);
            if (n <= 0)
                break;
            received += std::size_t(n);
        }
        send(fd, "\x16", 1, MSG_NOSIGNAL);  // the answer a status request gets
        close(fd);
    });
    const auto start = Clock::now();
    const int fd = connectTo(ntohs(address.sin_port));
    sendAll(fd, bytes);
    char answer = 0;
    recv(fd, &answer, 1, 0);
    reader.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    close(fd);
    close(listener);
    return seconds;
}

long processPeakKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

void rasterOverTcp(const char* argv0)
{
    if (!std::getenv("SOFTSWITCH_BIN"))
        setenv("SOFTSWITCH_BIN", std::filesystem::absolute(argv0).parent_path().c_str(), 1);
    const std::vector<std::uint8_t> job = rasterJob();
    const double mb = double(job.size()) / (1 << 20);
    double loopback = loopbackSeconds(job);
    for (int i = 0; i < 4; ++i)
        loopback = std::min(loopback, loopbackSeconds(job));

    // The job, then a real-time status request (DLE EOT 1): its answer comes
    // once the emulator has read every byte before it.
    std::vector<std::uint8_t> jobAndStatus = job;
    jobAndStatus.insert(jobAndStatus.end(), {0x10, 0x04, 0x01});
    const auto answered = [&jobAndStatus](int port) {
        const auto start = Clock::now();
        const int fd = connectTo(port);
        sendAll(fd, jobAndStatus);
        char answer = 0;
        recv(fd, &answer, 1, 0);
        close(fd);
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    constexpr int kTries = 11;
    const auto tries = [&answered](int port) {
        std::vector<double> seconds;
        for (int i = 0; i < kTries; ++i)
            seconds.push_back(answered(port));
        return seconds;
    };
    std::vector<double> plain;
    {
        EmulatorProcess emulator({"--tcp", "127.0.0.1:0"});
        plain = tries(emulator.tcpPort());
    }
    std::vector<double> transcribed;
    {
        QTemporaryDir dir;
        EmulatorProcess emulator({"--tcp", "127.0.0.1:0", "--transcript", dir.filePath("transcript.txt").toStdString()});
        transcribed = tries(emulator.tcpPort());
    }

    {
        render::FontGlyphSource glyphs;
        render::ReceiptRenderer renderer(glyphs, [] { return render::PrinterSetup{{80, 576}, 0, 0}; });
        const auto began = Clock::now();
        renderer.consume({emulator::EscPosToken::Kind::Command, {job.begin(), job.end() - 3}, {}, false, false});
        renderer.consume({emulator::EscPosToken::Kind::Command, {GS, 'V', 0}, {}, false, false});
        const auto receipts = renderer.takeReceipts();
        const double seconds = std::chrono::duration<double>(Clock::now() - began).count();
        std::printf("raster job drawn in-process: %.1f ms (%d rows)\n", seconds * 1e3, receipts.at(0).page.height());
    }
    QTemporaryDir dir;
    EmulatorProcess emulator({"--tcp", "127.0.0.1:0", "--render", dir.path().toStdString(), "--set", "sw1=4"});
    // Each job is a receipt; the next one goes once its files are there, so
    // the drawing of one does not weigh on the reading of the next.
    std::vector<double> taken;
    double drawn = 0;
    for (int i = 1; i <= kTries; ++i) {
        const auto start = Clock::now();
        taken.push_back(answered(emulator.tcpPort()));
        char name[32];
        std::snprintf(name, sizeof name, "receipt-%04d.txt", i);  // written after the PNG
        const QString picture = dir.filePath(name);
        while (!QFile::exists(picture) && Clock::now() - start < kPatience)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (i == 1)
            drawn = std::chrono::duration<double>(Clock::now() - start).count();
    }
    std::printf("raster job over TCP (%.2f MB, GS v 0, 576 x %d dots), best (median) of %d jobs\n", mb,
                (int(job.size()) - 11) / 72, kTries);
    std::printf("  loopback alone         %7.1f ms          %7.1f MB/s\n", loopback * 1e3, mb / loopback);
    const auto row = [&](const char* what, std::vector<double> seconds, const char* goal) {
        std::sort(seconds.begin(), seconds.end());
        const double best = seconds.front(), median = seconds[seconds.size() / 2];
        std::printf("  %-22s %7.1f (%5.1f) ms  %7.1f MB/s = %.0f%% (%.0f%%) of loopback%s\n", what, best * 1e3,
                    median * 1e3, mb / best, 100 * loopback / best, 100 * loopback / median, goal);
    };
    row("emulator, no render", plain, "");
    row("emulator --transcript", transcribed, "");
    row("emulator --render", taken, " (goal >= 50%)");
    std::printf("  receipt files done     %7.1f ms  (first job: drawn, written as PNG and text)\n", drawn * 1e3);
    std::printf("  emulator peak RSS %ld kB\n", processPeakKb(emulator.pid()));
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
    rasterOverTcp(argv[0]);
    return 0;
}
