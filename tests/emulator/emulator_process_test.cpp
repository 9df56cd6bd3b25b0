// printer-emulator as a process: real loopback TCP (127.0.0.1 only), a real
// pseudo-terminal, signals, the transcript file, argument errors and what
// the server does itself: delay, split, drop, a client that does not read.
#include "emulatorprocess.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Sends `command` and expects exactly `reply` back.
void expectReply(ByteLink& link, const std::string& command, const std::string& reply)
{
    link.send(command);
    EXPECT_EQ(link.receive(reply.size()), reply) << "for " << emulator::hexBytes(command);
}

TEST(EmulatorProcess, AnswersOverTcpKeepsWritesForTheNextClientAndRecordsTheWire)
{
    TempDir dir;
    const std::string transcript = dir.file("t.txt");
    std::ofstream(transcript) << "earlier run\n";
    EmulatorProcess emulator(
        {"--tcp", "127.0.0.1:0", "--set", "model=KR-31", "--set", "sw1=5", "--transcript", transcript});
    EXPECT_NE(emulator.tcpPort(), 0) << "port 0 picks a free port and says which";
    EXPECT_EQ(emulator.readyLines()[0], "listening tcp 127.0.0.1:" + std::to_string(emulator.tcpPort()));
    {
        ByteLink client = ByteLink::loopback(emulator.tcpPort());
        expectReply(client, kMaker, framed("TARVENIC"));
        // Sent one byte at a time, as the utility does on TCP.
        for (char byte : kModel)
            client.send(std::string(1, byte));
        EXPECT_EQ(client.receive(framed("KR-31").size()), framed("KR-31"));
        expectReply(client, kSwitch1, framed("5"));
        // No lock and an unfinished print line: the end of the connection
        // locks the printer and ends the line.
        client.send(kUnlock + hex("1D 67 38 27 32 30 30 00") + hex("1B 21 01 46"));
    }
    ByteLink later = ByteLink::loopback(emulator.tcpPort());
    expectReply(later, hex("1D 67 38 27 37 00 00 00") + kSwitch1, framed("200"));
    EXPECT_EQ(emulator.stop(), 0);
    EXPECT_EQ(readFile(transcript), "earlier run\n1D 49 42\n1D 49 43\n1D 67 34 27 00\n1D 67 75 6E 6C 00\n"
                                    "1D 67 38 27 32 30 30 00\n1B 21 01 46\n1D 67 38 27 37 00 00 00\n1D 67 34 27 00\n");
}

TEST(EmulatorProcess, PseudoTerminalPassesEveryByteRawAndSharesThePrinterWithTcp)
{
    TempDir dir;
    const std::string link = dir.file("printer");
    const std::string transcript = dir.file("transcript.txt");
    EmulatorProcess emulator({"--tcp", "127.0.0.1:0", "--pty", link, "--transcript", transcript}, 2);
    EXPECT_EQ(emulator.readyLines()[1], "listening pty " + link);
    ByteLink client = ByteLink::loopback(emulator.tcpPort());
    expectReply(client, kUnlock + hex("1D 67 38 27 39 00 00 00") + kLock + kSwitch1, framed("9"));
    ByteLink terminal = ByteLink::open(link);
    // CR, LF, NUL, XON/XOFF, DEL and ^C would all be eaten or changed by a
    // cooked terminal.
    terminal.send(hex("41 0D 0A 11 13 7F 03 00 0D 0A"));
    expectReply(terminal, kSwitch1, framed("9"));
    EXPECT_EQ(emulator.stop(SIGINT), 0) << "with clients attached";
    EXPECT_EQ(readFile(transcript), "1D 67 75 6E 6C 00\n1D 67 38 27 39 00 00 00\n1D 67 6C 63 6B 00\n1D 67 34 27 00\n"
                                    "41 0D 0A\n11 13 7F 03 00 0D 0A\n1D 67 34 27 00\n");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link))) << "link removed at exit";
}

TEST(EmulatorProcess, BadArgumentsExitTwoWithOneLineOnStandardError)
{
    const std::vector<std::vector<std::string>> rows{
        {"--bogus"}, {"--set"}, {"--set", "model"}, {"--set", "colour=red"}, {"--set", "sw1=99999999999"},
        {"--set", "new8x16=1"}, {"--no-reply", "colour"}, {"--reply-delay", "soon"}, {"--split-reply", "0"},
        {"--drop-after", "0"}, {"--garbage", "xyz"}, {"--garbage", "1D 4"}, {"--garbage", "1G"},
        {"--tcp", "127.0.0.1:99999"}, {"--tcp", "127.0.0.1:65536"}, {"--tcp", "127.0.0.1"}, {"--tcp", ":0"},
        {"--tcp", "127.0.0.1:"}, {"--tcp", "127.0.0.1:abc"}, {"--tcp", "127.0.0.1:-1"}, {"--no-tcp"}};
    for (const std::vector<std::string>& args : rows) {
        std::string errors;
        EXPECT_EQ(runEmulatorToEnd(args, &errors), 2) << args.back();
        EXPECT_EQ(errors.find("printer-emulator: "), 0u) << args.back();
        EXPECT_EQ(errors.find('\n'), errors.size() - 1) << "one line for " << args.back() << ": " << errors;
    }
    // Refused before anything is bound; no connection is ever made.
    EXPECT_EQ(runEmulatorToEnd({"--tcp", "192.0.2.1:0"}), 1);
    EXPECT_EQ(runEmulatorToEnd({"--help"}), 0);
}

TEST(EmulatorProcess, DropAfterCutsTcpAfterTheLastAnswerAndLinksAFreshPty)
{
    TempDir dir;
    const std::string link = dir.file("lp");
    EmulatorProcess emulator({"--tcp", "127.0.0.1:0", "--pty", link, "--drop-after", "2"}, 2);
    ByteLink client = ByteLink::loopback(emulator.tcpPort());
    client.send(kMaker + kModel + kSwitch1);
    EXPECT_EQ(client.receive(100), framed("TARVENIC") + framed("KR-5050"));
    EXPECT_TRUE(client.closedByPeer());
    ByteLink next = ByteLink::loopback(emulator.tcpPort());
    expectReply(next, kMaker, framed("TARVENIC"));

    ByteLink terminal = ByteLink::open(link);
    expectReply(terminal, kUnlock + kMaker, framed("TARVENIC"));
    EXPECT_TRUE(terminal.closedByPeer());
    // The new pair's name may be reused, so the proof is that the link
    // answers; the drop has locked the printer again.
    ByteLink again = ByteLink::open(link);
    expectReply(again, hex("1D 67 38 27 39 00 00 00") + kSwitch1, framed("0"));
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
    ByteLink client = ByteLink::loopback(emulator.tcpPort(), 2048);
    constexpr std::size_t kQueries = 10000;  // 10 MB of replies, far beyond the socket buffers
    std::string queries;
    for (std::size_t i = 0; i < kQueries; ++i)
        queries += kMaker;
    client.send(queries);
    EXPECT_TRUE(emulator.settlesAsleep()) << "busy while the client does not read";
    ByteLink terminal = ByteLink::open(link);
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

// Delay and split are seen in the order of events, not measured: with pauses
// far longer than the test's own first look, that look finds nothing (delay)
// or only the first piece (split), and the rest comes later.
TEST(EmulatorProcess, ReplyDelayAndSplitHoldTheReplyBack)
{
    EmulatorProcess emulator(
        {"--tcp", "127.0.0.1:0", "--reply-delay", "1500", "--split-reply", "5", "--split-gap", "1500"});
    ByteLink client = ByteLink::loopback(emulator.tcpPort());
    client.send(kModel);
    EXPECT_EQ(client.receiveSome(std::chrono::milliseconds(200)), "");
    const std::string first = client.receiveSome();
    EXPECT_EQ(first, framed("KR-5050").substr(0, 5));
    EXPECT_EQ(first + client.receive(framed("KR-5050").size() - first.size()), framed("KR-5050"));
}

}  // namespace
