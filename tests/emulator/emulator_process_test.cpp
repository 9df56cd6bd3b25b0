// printer-emulator as a process: real loopback TCP (127.0.0.1 only), a real
// pseudo-terminal, stop signals, the transcript file, argument errors and a
// client that does not read. The rest of what the server does (answers over
// TCP and the pty, writes kept for the next client, delay, split, drop and the
// pty linked anew after it) the end-to-end cases show through the utility.
#include "printeremulator.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// A pty the test opens itself: not put in raw mode by anyone but the emulator.
ByteLink openTerminal(const std::string& link) { return ByteLink(open(link.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC)); }

TEST(EmulatorProcess, TcpAndARawPseudoTerminalShareThePrinterAndTheTranscript)
{
    TempDir dir;
    const std::string link = dir.file("printer");
    const std::string transcript = dir.file("transcript.txt");
    std::ofstream(transcript) << "earlier run\n";
    EmulatorProcess emulator({"--tcp", "127.0.0.1:0", "--pty", link, "--transcript", transcript}, 2);
    EXPECT_EQ(emulator.readyLines()[1], "listening pty " + link);
    ByteLink client(ByteLink::loopback(emulator.tcpPort()));
    expectReply(client, kUnlock + hex("1D 67 38 27 39 00 00 00") + kLock + kSwitch1, framed("9"));
    ByteLink terminal = openTerminal(link);
    // CR, LF, NUL, XON/XOFF, DEL and ^C would all be eaten or changed by a
    // cooked terminal, and a reply without line feed would never be read.
    terminal.send(hex("41 0D 0A 11 13 7F 03 00 0D 0A"));
    expectReply(terminal, kSwitch1, framed("9"));
    EXPECT_EQ(emulator.stop(SIGINT), 0) << "with clients attached";
    EXPECT_EQ(readFile(transcript), "earlier run\n1D 67 75 6E 6C 00\n1D 67 38 27 39 00 00 00\n1D 67 6C 63 6B 00\n"
                                    "1D 67 34 27 00\n41 0D 0A\n11 13 7F 03 00 0D 0A\n1D 67 34 27 00\n");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link))) << "link removed at exit";
}

TEST(EmulatorProcess, BadArgumentsExitTwoWithOneLineOnStandardError)
{
    TempDir dir;
    const std::string errors = dir.file("stderr.txt");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--bogus"}, {"--set"}, {"--set", "model"}, {"--set", "colour=red"}, {"--set", "sw1=99999999999"},
             {"--set", "new8x16=1"}, {"--no-reply", "colour"}, {"--reply-delay", "soon"}, {"--split-reply", "0"},
             {"--drop-after", "0"}, {"--garbage", "xyz"}, {"--garbage", "1D 4"}, {"--garbage", "1G"},
             {"--tcp", "127.0.0.1:99999"}, {"--tcp", "127.0.0.1:65536"}, {"--tcp", "127.0.0.1"}, {"--tcp", ":0"},
             {"--tcp", "127.0.0.1:"}, {"--tcp", "127.0.0.1:abc"}, {"--tcp", "127.0.0.1:-1"}, {"--no-tcp"},
             {"--reply-delay", "9223372036854775807"}, {"--reply-delay", "18446744073709551615"},
             {"--split-gap", "86400001"}, {"--idle-timeout", "-5"}}) {
        EXPECT_EQ(EmulatorProcess(args, 0, errors).stop(0), 2) << args.back();
        const std::string text = readFile(errors);
        EXPECT_TRUE(text.starts_with("printer-emulator: ") && text.find('\n') == text.size() - 1) << text;
    }
    // Refused before anything is bound; no connection is ever made.
    EXPECT_EQ(EmulatorProcess({"--tcp", "192.0.2.1:0"}, 0, errors).stop(0), 1);
    EXPECT_EQ(EmulatorProcess({"--help"}, 0).stop(0), 0);
}

// The printer is shared the way a network printer is: one client at a time,
// and one that went quiet (here: unlocked, then nothing) makes room for a
// waiting one after the idle timeout, taking its unlock with it. Alone, a
// quiet client keeps the printer however long it waits.
TEST(EmulatorProcess, AnIdleClientMakesRoomOnlyForAWaitingOne)
{
    EmulatorProcess emulator({"--tcp", "127.0.0.1:0", "--idle-timeout", "300"});
    ByteLink quiet(ByteLink::loopback(emulator.tcpPort()));
    quiet.send(kUnlock);
    EXPECT_EQ(quiet.receiveSome(std::chrono::milliseconds(900)), "") << "waited, still connected";
    expectReply(quiet, kSwitch1, framed("0"));
    ByteLink waiting(ByteLink::loopback(emulator.tcpPort()));
    waiting.send(hex("1D 67 38 27 39 00 00 00") + kSwitch1);
    EXPECT_EQ(waiting.receive(framed("0").size()), framed("0")) << "served, and the unlock went with the idle client";
    EXPECT_EQ(quiet.receiveSome(), "") << "closed";
    quiet.send(kMaker);  // the connection is gone: nothing comes back
    EXPECT_EQ(quiet.receiveSome(std::chrono::milliseconds(200)), "");

    // 0: never cut off, not even for a waiting client.
    EmulatorProcess patient({"--tcp", "127.0.0.1:0", "--idle-timeout", "0"});
    ByteLink first(ByteLink::loopback(patient.tcpPort()));
    expectReply(first, kMaker, framed("TARVENIC"));
    ByteLink second(ByteLink::loopback(patient.tcpPort()));
    second.send(kModel);
    EXPECT_EQ(second.receiveSome(std::chrono::milliseconds(600)), "") << "still waiting";
    expectReply(first, kModel, framed("KR-5050"));
}

// Two emulators cannot share a link: the second is refused and leaves the
// first's link alone; an emulator whose link was replaced leaves it at exit.
TEST(EmulatorProcess, APtyLinkBelongsToTheEmulatorThatMadeIt)
{
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string link = dir.file("printer");
    const std::string errors = dir.file("stderr.txt");
    EmulatorProcess first({"--no-tcp", "--pty", link});
    const fs::path target = fs::read_symlink(link);
    EXPECT_EQ(EmulatorProcess({"--no-tcp", "--pty", link}, 0, errors).stop(0), 1);
    EXPECT_NE(readFile(errors).find(link), std::string::npos) << readFile(errors);
    EXPECT_EQ(fs::read_symlink(link), target);
    // A file in the way is refused too.
    std::ofstream(dir.file("file")) << "x";
    EXPECT_EQ(EmulatorProcess({"--no-tcp", "--pty", dir.file("file")}, 0, errors).stop(0), 1);
    EXPECT_EQ(readFile(dir.file("file")), "x");
    // Someone else's link now: it outlives the first emulator.
    fs::remove(link);
    fs::create_symlink("/dev/null", link);
    EXPECT_EQ(first.stop(SIGTERM), 0);
    EXPECT_EQ(fs::read_symlink(link), "/dev/null");
    // A link whose terminal is gone (an emulator that was killed) is taken.
    fs::remove(link);
    fs::create_symlink(dir.file("gone"), link);
    EmulatorProcess second({"--no-tcp", "--pty", link});
    EXPECT_EQ(second.stop(SIGTERM), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

TEST(EmulatorProcess, ATranscriptThatCannotBeWrittenEndsTheEmulatorWithAnError)
{
    TempDir dir;
    const std::string errors = dir.file("stderr.txt");
    EmulatorProcess emulator({"--tcp", "127.0.0.1:0", "--transcript", "/dev/full"}, 1, errors);
    ByteLink client(ByteLink::loopback(emulator.tcpPort()));
    client.send(kMaker);
    EXPECT_EQ(emulator.stop(0), 1);
    EXPECT_NE(readFile(errors).find("/dev/full"), std::string::npos) << readFile(errors);
}

// A point-of-sale client asks the paper sensors while the printer is out of
// paper, someone loads paper (a "set" line on standard input), and the same
// question gets the new answer; a client with automatic status on hears of
// the change by itself. A line it cannot use is told and changes nothing.
TEST(EmulatorProcess, StatusFollowsTheStatesSetWhileItRuns)
{
    TempDir dir;
    const std::string control = dir.file("control");
    ASSERT_EQ(mkfifo(control.c_str(), 0600), 0);
    const std::string errors = dir.file("stderr.txt");
    EmulatorProcess emulator({"--tcp", "127.0.0.1:0", "--set", "paper=out"}, 1, errors, control);
    ByteLink input(open(control.c_str(), O_WRONLY | O_CLOEXEC));
    ByteLink client(ByteLink::loopback(emulator.tcpPort()));
    // DLE EOT 4: bits 1 and 4 fixed, near end (2-3) and paper end (5-6).
    expectReply(client, hex("10 04 04"), hex("7E"));
    // GS a 8 watches the paper sensors: a report now, then one on the change
    // (first byte: bit 4, drawer pin high as the drawer is closed, offline).
    expectReply(client, hex("1D 61 08"), hex("1C 00 0F 00"));
    input.send("set paper=ok\nset paper=wet\nload paper\n");
    EXPECT_EQ(emulator::hexBytes(client.receive(4)), "14 00 00 00");
    expectReply(client, hex("10 04 04"), hex("12"));
    expectReply(client, hex("41 42 10 04 01 43"), hex("16"));  // mid-job; the drawer pin is high
    EXPECT_EQ(emulator.stop(SIGTERM), 0);
    const std::string said = readFile(errors);
    EXPECT_NE(said.find("wet"), std::string::npos) << said;
    EXPECT_NE(said.find("load paper"), std::string::npos) << said;
}

// True once the process is seen asleep in a system call at many samples in
// a row; a loop that spins (polls without waiting) is always running.
bool settlesAsleep(pid_t pid)
{
    const std::string statPath = "/proc/" + std::to_string(pid) + "/stat";
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (int asleep = 0; std::chrono::steady_clock::now() < deadline; poll(nullptr, 0, 10)) {
        const std::string stat = readFile(statPath);
        // The state letter follows the parenthesised program name.
        asleep = stat.size() > stat.rfind(')') + 2 && stat[stat.rfind(')') + 2] == 'S' ? asleep + 1 : 0;
        if (asleep == 20)
            return true;
    }
    return false;
}

// A client that sends and never reads: the emulator waits for its socket to
// take more instead of retrying at once, still serves the pty, keeps a
// bounded queue of whole replies and answers again once the client reads.
TEST(EmulatorProcess, AClientThatStopsReadingIsWaitedForWithABoundedQueue)
{
    TempDir dir;
    const std::string link = dir.file("lp");
    const std::string maker(1000, 'M');
    EmulatorProcess emulator({"--tcp", "127.0.0.1:0", "--pty", link, "--set", "maker=" + maker}, 2);
    ByteLink client(ByteLink::loopback(emulator.tcpPort(), 2048));
    constexpr std::size_t kQueries = 10000;  // 10 MB of replies, far beyond the socket buffers
    std::string queries;
    for (std::size_t i = 0; i < kQueries; ++i)
        queries += kMaker;
    client.send(queries);
    EXPECT_TRUE(settlesAsleep(emulator.pid())) << "busy while the client does not read";
    ByteLink terminal = openTerminal(link);
    expectReply(terminal, kModel, framed("KR-5050"));
    // Read again, with a model query whenever the stream goes quiet, until
    // one is answered behind the maker replies that were kept.
    std::string received;
    for (int probes = 0; !received.ends_with(framed("KR-5050")) && probes < 100; ++probes) {
        for (std::string more; !(more = client.receiveSome(std::chrono::milliseconds(100))).empty();)
            received += more;
        client.send(kModel);
    }
    const std::size_t makers = received.find(framed("KR-5050")) / framed(maker).size();
    std::string expected;
    while (expected.size() < received.size())
        expected += expected.size() < makers * framed(maker).size() ? framed(maker) : framed("KR-5050");
    EXPECT_EQ(received, expected) << "whole replies in order, then the answers to the probes";
    EXPECT_GE(makers, emulator::kMaxUnreadReplyBytes / framed(maker).size()) << "the queue is delivered";
    EXPECT_LT(makers, kQueries) << "replies beyond the queue are dropped";
}

}  // namespace
