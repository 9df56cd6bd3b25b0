// printer-emulator as a process on loopback TCP (127.0.0.1 only) and a real
// pseudo-terminal: argument errors, sharing the printer between clients, the
// pty link it owns, a transcript it cannot write, and states changed while it
// runs. What the utility sees of it the end-to-end cases show.
#include "printeremulator.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {


TEST(EmulatorProcess, BadArgumentsExitTwoWithOneLineOnStandardError)
{
    TempDir dir;
    const std::string errors = dir.file("stderr.txt");
    for (const std::vector<std::string>& args : tableRows(EMULATOR_TEST_DATA "/bad-arguments.rows")) {
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

}  // namespace
