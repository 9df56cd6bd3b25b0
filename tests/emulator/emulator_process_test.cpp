// printer-emulator as a process: real loopback TCP (127.0.0.1 only), a real
// pseudo-terminal, signals, the transcript file and the faults on the wire.
#include "bytelink.h"
#include "emulatorprocess.h"
#include "hex.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace {

const std::string kMaker = hex("1D 49 42");
const std::string kModel = hex("1D 49 43");
const std::string kSwitch1 = hex("1D 67 34 27 00");
const std::string kUnlock = hex("1D 67 75 6E 6C 00");
const std::string kLock = hex("1D 67 6C 63 6B 00");

TEST(EmulatorProcess, PortZeroPicksAFreeLoopbackPortAndSaysWhich)
{
    EmulatorProcess emulator({"--tcp", "127.0.0.1:0"});
    ASSERT_EQ(emulator.readyLines().size(), 1u);
    EXPECT_NE(emulator.tcpPort(), 0);
    EXPECT_EQ(emulator.readyLines()[0], "listening tcp 127.0.0.1:" + std::to_string(emulator.tcpPort()));
    EXPECT_EQ(emulator.stop(), 0);
}

TEST(EmulatorProcess, AnswersOverTcpAndKeepsWritesForTheNextClient)
{
    EmulatorProcess emulator({"--tcp", "127.0.0.1:0", "--set", "model=KR-31", "--set", "sw1=5"});
    {
        ByteLink client = ByteLink::loopback(emulator.tcpPort());
        client.send(kMaker);
        EXPECT_EQ(client.receive(framed("TARVENIC").size()), framed("TARVENIC"));
        // Sent one byte at a time, as the utility does on TCP.
        for (char byte : kModel)
            client.send(std::string(1, byte));
        EXPECT_EQ(client.receive(framed("KR-31").size()), framed("KR-31"));
        client.send(kSwitch1);
        EXPECT_EQ(client.receive(framed("5").size()), framed("5"));
        client.send(kUnlock + hex("1D 67 38 27 32 30 30 00") + kLock);
    }
    for (int round = 0; round < 3; ++round) {
        ByteLink client = ByteLink::loopback(emulator.tcpPort());
        client.send(kSwitch1);
        EXPECT_EQ(client.receive(framed("200").size()), framed("200")) << "client " << round;
    }
    EXPECT_EQ(emulator.stop(), 0);
}

TEST(EmulatorProcess, PseudoTerminalPassesEveryByteRaw)
{
    TempDir dir;
    const std::string link = dir.file("printer");
    const std::string transcript = dir.file("transcript.txt");
    EmulatorProcess emulator({"--no-tcp", "--pty", link, "--transcript", transcript});
    EXPECT_EQ(emulator.readyLines()[0], "listening pty " + link);
    {
        ByteLink terminal = ByteLink::terminal(link);
        // CR, LF, NUL, XON/XOFF, DEL and ^C would all be eaten or changed
        // by a cooked terminal.
        terminal.send(hex("41 0D 0A 11 13 7F 03 00 0D 0A"));
        terminal.send(kMaker);
        EXPECT_EQ(terminal.receive(framed("TARVENIC").size()), framed("TARVENIC"));
    }
    EXPECT_EQ(emulator.stop(), 0);
    EXPECT_EQ(readFile(transcript), "41 0D 0A\n11 13 7F 03 00 0D 0A\n1D 49 42\n");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link))) << "link removed at exit";
}

TEST(EmulatorProcess, TcpAndPtyTogetherShareOnePrinter)
{
    TempDir dir;
    const std::string link = dir.file("lp");
    EmulatorProcess emulator({"--tcp", "127.0.0.1:0", "--pty", link}, 2);
    EXPECT_EQ(emulator.readyLines()[1], "listening pty " + link);
    ByteLink client = ByteLink::loopback(emulator.tcpPort());
    client.send(kUnlock + hex("1D 67 38 27 39 00 00 00") + kLock);
    ByteLink terminal = ByteLink::terminal(link);
    // The TCP write is processed before the pty query only once the server
    // has read it; a TCP query answered first proves that.
    client.send(kSwitch1);
    EXPECT_EQ(client.receive(framed("9").size()), framed("9"));
    terminal.send(kSwitch1);
    EXPECT_EQ(terminal.receive(framed("9").size()), framed("9"));
    EXPECT_EQ(emulator.stop(), 0);
}

TEST(EmulatorProcess, StopSignalsEndItWithStatusZero)
{
    for (int signalNumber : {SIGTERM, SIGINT}) {
        EmulatorProcess emulator({"--tcp", "127.0.0.1:0"});
        ByteLink client = ByteLink::loopback(emulator.tcpPort());  // also with a client attached
        EXPECT_EQ(emulator.stop(signalNumber), 0) << "signal " << signalNumber;
    }
}

TEST(EmulatorProcess, RefusesBadArgumentsAndRemoteAddresses)
{
    EXPECT_EQ(runEmulatorToEnd({"--set", "sw1=999"}), 2);
    EXPECT_EQ(runEmulatorToEnd({"--bogus"}), 2);
    // Refused before anything is bound; no connection is ever made.
    EXPECT_EQ(runEmulatorToEnd({"--tcp", "192.0.2.1:0"}), 1);
    EXPECT_EQ(runEmulatorToEnd({"--help"}), 0);
}

TEST(EmulatorProcess, TranscriptRecordsTheWireByteForByte)
{
    TempDir dir;
    const std::string transcript = dir.file("t.txt");
    EmulatorProcess emulator({"--tcp", "127.0.0.1:0", "--transcript", transcript});
    {
        ByteLink client = ByteLink::loopback(emulator.tcpPort());
        client.send(kMaker);
        client.receive(framed("TARVENIC").size());
        client.send(kUnlock + hex("1D 67 38 29 33 37 00 00") + kLock + hex("1B 21 01 46 0D 0A 1B 40 0D 0A 1B 69"));
        client.send(kSwitch1);
        client.receive(framed("0").size());
    }
    EXPECT_EQ(emulator.stop(), 0);
    EXPECT_EQ(readFile(transcript),
              "1D 49 42\n1D 67 75 6E 6C 00\n1D 67 38 29 33 37 00 00\n1D 67 6C 63 6B 00\n"
              "1B 21 01 46 0D 0A\n1B 40 0D 0A\n1B 69\n1D 67 34 27 00\n");
}

TEST(EmulatorProcess, NoReplyAndGarbageShowOnTheWire)
{
    EmulatorProcess emulator({"--tcp", "127.0.0.1:0", "--no-reply", "maker", "--garbage", "FF FE"});
    ByteLink client = ByteLink::loopback(emulator.tcpPort());
    // The silent maker query is followed by a model query: the first bytes
    // to arrive must be the model reply.
    client.send(kMaker + kModel);
    EXPECT_EQ(client.receive(2 + framed("KR-5050").size()), hex("FF FE") + framed("KR-5050"));
}

TEST(EmulatorProcess, FirstModelReplyOncePerConnection)
{
    EmulatorProcess emulator({"--tcp", "127.0.0.1:0", "--first-model-reply", ";1"});
    for (int connection = 0; connection < 2; ++connection) {
        ByteLink client = ByteLink::loopback(emulator.tcpPort());
        client.send(kModel);
        EXPECT_EQ(client.receive(framed(";1").size()), framed(";1"));
        client.send(kModel);
        EXPECT_EQ(client.receive(framed("KR-5050").size()), framed("KR-5050"));
    }
}

TEST(EmulatorProcess, DropAfterClosesTheConnectionAfterTheLastAnswer)
{
    EmulatorProcess emulator({"--tcp", "127.0.0.1:0", "--drop-after", "2"});
    ByteLink client = ByteLink::loopback(emulator.tcpPort());
    client.send(kMaker + kModel + kSwitch1);
    EXPECT_EQ(client.receive(100), framed("TARVENIC") + framed("KR-5050"));
    EXPECT_TRUE(client.closedByPeer());
    // The printer takes the next client.
    ByteLink next = ByteLink::loopback(emulator.tcpPort());
    next.send(kMaker);
    EXPECT_EQ(next.receive(framed("TARVENIC").size()), framed("TARVENIC"));
}

TEST(EmulatorProcess, DropAfterOnThePtyHangsUpAndLinksAFreshOne)
{
    TempDir dir;
    const std::string link = dir.file("lp");
    EmulatorProcess emulator({"--no-tcp", "--pty", link, "--drop-after", "1"});
    const std::string firstTarget = std::filesystem::read_symlink(link).string();
    ByteLink terminal = ByteLink::terminal(link);
    terminal.send(kMaker);
    EXPECT_EQ(terminal.receive(framed("TARVENIC").size()), framed("TARVENIC"));
    EXPECT_TRUE(terminal.closedByPeer());
    // Opening the link again reaches the new pseudo-terminal. Its name may
    // be reused, so the proof is that it answers.
    ByteLink again = ByteLink::terminal(link);
    again.send(kModel);
    EXPECT_EQ(again.receive(framed("KR-5050").size()), framed("KR-5050"));
    EXPECT_FALSE(firstTarget.empty());
}

TEST(EmulatorProcess, ReplyDelayHoldsTheReplyBack)
{
    constexpr std::chrono::milliseconds kDelay{300};
    EmulatorProcess emulator({"--tcp", "127.0.0.1:0", "--reply-delay", std::to_string(kDelay.count())});
    ByteLink client = ByteLink::loopback(emulator.tcpPort());
    const auto sent = std::chrono::steady_clock::now();
    client.send(kMaker);
    EXPECT_EQ(client.receive(framed("TARVENIC").size()), framed("TARVENIC"));
    // A lower bound only: the emulator cannot answer earlier, however
    // loaded the machine is.
    EXPECT_GE(std::chrono::steady_clock::now() - sent, kDelay);
}

TEST(EmulatorProcess, SplitReplyComesInSeparateWrites)
{
    // With a long gap between the pieces, the first read sees only the
    // first piece; all pieces together are the whole reply.
    EmulatorProcess emulator({"--tcp", "127.0.0.1:0", "--split-reply", "4", "--split-gap", "400"});
    ByteLink client = ByteLink::loopback(emulator.tcpPort());
    client.send(kModel);
    const std::string first = client.receiveSome();
    EXPECT_EQ(first, framed("KR-5050").substr(0, 4));
    EXPECT_EQ(first + client.receive(framed("KR-5050").size() - first.size()), framed("KR-5050"));
}

}  // namespace
