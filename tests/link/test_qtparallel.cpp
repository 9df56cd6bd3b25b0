// The parallel link on a POSIX file: a FIFO stands in for the printer
// device, a regular file and a missing path for the simple cases.

#include "reallink.h"

#include <QTemporaryDir>

#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace softswitch::testing {
namespace {

// A FIFO the test holds open at both ends, so that the link's opens for
// writing find a reader and a reply written into it waits for the link's read.
class FifoPrinter {
public:
    FifoPrinter()
    {
        m_path = m_folder.filePath("lp0").toStdString();
        if (::mkfifo(m_path.c_str(), 0600) != 0)
            return;
        m_reader = ::open(m_path.c_str(), O_RDONLY | O_NONBLOCK);
        m_writer = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK);
    }
    ~FifoPrinter()
    {
        for (int fd : {m_reader, m_writer})
            if (fd >= 0)
                ::close(fd);
    }
    FifoPrinter(const FifoPrinter&) = delete;
    FifoPrinter& operator=(const FifoPrinter&) = delete;

    bool ok() const { return m_reader >= 0 && m_writer >= 0; }
    const std::string& path() const { return m_path; }

    // What the link wrote so far.
    std::string takeSent()
    {
        std::string sent;
        char chunk[64];
        ssize_t got = 0;
        while ((got = ::read(m_reader, chunk, sizeof chunk)) > 0)
            sent.append(chunk, static_cast<std::size_t>(got));
        return sent;
    }
    void reply(const std::string& bytes)
    {
        EXPECT_EQ(::write(m_writer, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // The printer stops talking: a reader sees the end of the file once the FIFO is drained.
    void hangUp()
    {
        ::close(m_writer);
        m_writer = -1;
    }

private:
    QTemporaryDir m_folder;
    std::string m_path;
    int m_reader = -1;
    int m_writer = -1;
};

class QtParallel : public ::testing::Test {
protected:
    FifoPrinter printer;
    RealLink real{{}, printer.path()};

    void SetUp() override
    {
        ASSERT_TRUE(printer.ok());
        real.choose("LPT1");
        ASSERT_TRUE(real.openPort(true));
        ASSERT_TRUE(real.boxes.shown.empty());
    }
};

struct ReplyRow { const char* name; std::string printed; std::string reply; };

class QtParallelReply : public QtParallel, public ::testing::WithParamInterface<ReplyRow> {};

TEST_P(QtParallelReply, RoundTripThroughSendCommand)
{
    std::string sent;
    // At the 60 ms wait the printer has the command; it answers before the reading open.
    real.loop.onSleep = [&](std::chrono::milliseconds) {
        sent = printer.takeSent();
        printer.reply(GetParam().printed);
    };
    EXPECT_EQ(real.send(kQuery, "R"), GetParam().reply);
    EXPECT_EQ(sent, asText(kQuery));
    EXPECT_TRUE(real.boxes.shown.empty());
    EXPECT_TRUE(real.parallel.isOpen()); // open for writing again
}

INSTANTIATE_TEST_SUITE_P(Rows, QtParallelReply,
                         ::testing::Values(ReplyRow{"Framed", std::string("_30\0", 4), std::string("30\0", 3)},
                                           ReplyRow{"OnlyThirtyCharactersRead", "_" + std::string(40, 'x'),
                                                    std::string(29, 'x')},
                                           ReplyRow{"SilentPrinterGivesEmpty", "", ""}),
                         RowName{});

TEST_F(QtParallel, WriteDeliversBytesWithoutReopening)
{
    const Bytes command{27, 64, 0, 255};
    EXPECT_EQ(real.send(command, "W"), "");
    EXPECT_EQ(printer.takeSent(), asText(command));
}

TEST_F(QtParallel, ReadReturnsWhatArrivedWhenThePrinterPausesOrHangsUp)
{
    PlatformError error;
    ASSERT_TRUE(real.parallel.open(true, error));
    printer.reply("_1");
    EXPECT_EQ(real.parallel.read(30), "_1");
    printer.reply("_9");
    printer.hangUp();
    EXPECT_EQ(real.parallel.read(30), "_9");
}

// ---- The adapter on its own -------------------------------------------------

TEST(QtParallelPortAdapter, MissingDeviceShowsErrorNumberAndDescription)
{
    RealLink real{{}, "/nonexistent-folder/lp0"};
    real.choose("LPT1");
    EXPECT_TRUE(real.openPort(true)); // ok stays true: only the message tells
    expectOneBox(real.boxes, "Error no  2: No such file or directory", MsgIcon::None);
    EXPECT_FALSE(real.parallel.isOpen());
}

std::string fileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
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
    EXPECT_EQ(fileText(path), std::string("_30\0", 4));

    ASSERT_TRUE(port.open(false, error));
    EXPECT_EQ(port.read(30), ""); // a writing handle gives none
    port.write(65);
    port.close();
    EXPECT_EQ(fileText(path), std::string("A30\0", 4));
    port.write(66); // closed: lost without a crash
    EXPECT_EQ(fileText(path), std::string("A30\0", 4));
}

TEST(QtParallelPortAdapter, DirectoryCannotBeOpenedForWriting)
{
    QtParallelPort port("/");
    PlatformError error;
    EXPECT_FALSE(port.open(false, error));
    EXPECT_EQ(error.number, EISDIR);
    EXPECT_EQ(error.description, "Is a directory");
}

} // namespace
} // namespace softswitch::testing
