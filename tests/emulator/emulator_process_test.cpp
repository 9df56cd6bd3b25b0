// printer-emulator as a process: real loopback TCP (127.0.0.1 only), a real
// pseudo-terminal, a stop signal and the transcript file. The rest of what the server does (answers over
// TCP and the pty, writes kept for the next client, delay, split, drop and the
// pty linked anew after it) the end-to-end cases show through the utility.
#include "printeremulator.h"
#include "testsupport.h"

#include <gtest/gtest.h>

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

}  // namespace
