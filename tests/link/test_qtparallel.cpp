// The parallel link on a POSIX file: a FIFO stands in for the printer
// device, a regular file, a directory and a missing path for the rest.

#include "reallink.h"
#include "tempdir.h"

#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace softswitch::testing {
namespace {

// A FIFO the test holds open at both ends, so that the link's opens for
// writing find a reader and a reply written into it waits for the link's read.
struct FifoPrinter {
    QTemporaryDir folder;
    std::string path = folder.filePath("lp0").toStdString();
    int reader = ::mkfifo(path.c_str(), 0600) == 0 ? ::open(path.c_str(), O_RDONLY | O_NONBLOCK) : -1;
    int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
    ~FifoPrinter()
    {
        ::close(reader);
        ::close(writer);
    }
    std::string takeSent() // what the link wrote so far
    {
        std::string sent;
        char chunk[64];
        for (ssize_t got = 0; (got = ::read(reader, chunk, sizeof chunk)) > 0;)
            sent.append(chunk, static_cast<std::size_t>(got));
        return sent;
    }
    void reply(const std::string& bytes)
    {
        EXPECT_EQ(::write(writer, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
};

class QtParallel : public ::testing::Test {
protected:
    FifoPrinter printer;
    RealLink real{{}, printer.path};
    void SetUp() override
    {
        ASSERT_TRUE(printer.reader >= 0 && printer.writer >= 0);
        real.choose("LPT1");
        ASSERT_TRUE(real.openPort(true));
    }
};

TEST_F(QtParallel, RoundTripsReadAtMost30CharactersAndWritesGoStraightOut)
{
    const std::pair<std::string, std::string> rows[] = {{std::string("_30\0", 4), std::string("30\0", 3)},
                                                        {"_" + std::string(40, 'x'), std::string(29, 'x')},
                                                        {"", ""}}; // a silent printer
    for (const auto& [printed, reply] : rows) {
        std::string sent;
        // At the 60 ms wait the printer has the command; it answers before the reading open.
        real.loop.onSleep = [&] {
            sent = printer.takeSent();
            printer.reply(printed);
        };
        EXPECT_EQ(real.send(kQuery, "R"), reply);
        EXPECT_EQ(sent, asText(kQuery));
        EXPECT_TRUE(real.parallel.isOpen()); // open for writing again
        printer.takeSent();
    }
    const Bytes command{27, 64, 0, 255};
    EXPECT_EQ(real.send(command, "W"), "");
    EXPECT_EQ(printer.takeSent(), asText(command));
    EXPECT_TRUE(real.boxes.shown.empty());
}

TEST_F(QtParallel, ReadReturnsWhatArrivedWhenThePrinterPausesOrHangsUp)
{
    PlatformError error;
    ASSERT_TRUE(real.parallel.open(true, error));
    printer.reply("_1");
    EXPECT_EQ(real.parallel.read(30), "_1");
    printer.reply("_9");
    ::close(std::exchange(printer.writer, -1)); // a reader sees the end of the file once the FIFO is drained
    EXPECT_EQ(real.parallel.read(30), "_9");
}

TEST(QtParallelPortAdapter, DevicesThatCannotBeOpenedShowTheErrorNumberAndDescription)
{
    const std::pair<const char*, const char*> rows[] = {
        {"/nonexistent-folder/lp0", "Error no  2: No such file or directory"}, {"/", "Error no  21: Is a directory"}};
    for (const auto& [path, message] : rows) {
        RealLink real{{}, path};
        real.choose("LPT1");
        EXPECT_TRUE(real.openPort(true)); // ok stays true: only the message tells
        expectOneBox(real.boxes, message, MsgIcon::None);
        EXPECT_FALSE(real.parallel.isOpen());
    }
}

TEST(QtParallelPortAdapter, RegularFileOpensOneWayAtATime)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("lp0").toStdString();
    std::ofstream(path, std::ios::binary) << std::string("_30\0", 4);
    QtParallelPort port(path);
    PlatformError error;
    ASSERT_TRUE(port.open(true, error));
    EXPECT_EQ(port.read(30), std::string("_30\0", 4)); // fewer than asked: what is there
    port.write(65);                                    // a reading handle takes no bytes
    ASSERT_TRUE(port.open(false, error));
    EXPECT_EQ(port.read(30), ""); // a writing handle gives none
    port.write(65);
    port.close();
    port.write(66); // closed: lost without a crash
    EXPECT_EQ(readFile(path), std::string("A30\0", 4));
}

} // namespace
} // namespace softswitch::testing
