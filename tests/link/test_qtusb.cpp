// The USB link through a transport library loaded with dlopen from the
// working folder: a small stand-in library answers the two reads.

#include "reallink.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <dlfcn.h>

namespace softswitch::testing {
namespace {

// A fresh working folder for each test, holding the library to load (or not).
class QtUsb : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureApplication();
        ASSERT_TRUE(m_folder.isValid());
        m_previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_folder.path()));
    }
    void TearDown() override
    {
        if (m_controls)
            dlclose(m_controls);
        QDir::setCurrent(m_previous);
    }

    void install(const char* builtLibrary)
    {
        ASSERT_TRUE(QFile::copy(builtLibrary, m_folder.filePath("libKR5050.so")));
    }

    // The stand-in's test controls, from the same loaded copy the link uses.
    template <class Function>
    Function control(const char* name)
    {
        if (!m_controls)
            m_controls = dlopen(m_folder.filePath("libKR5050.so").toLocal8Bit().constData(), RTLD_NOW);
        return m_controls ? reinterpret_cast<Function>(dlsym(m_controls, name)) : nullptr;
    }

    std::string lastWrite()
    {
        const auto lastWriteOf = control<std::int32_t (*)(char*, std::int32_t)>("kr5050TestLastWrite");
        if (!lastWriteOf)
            return "(no library)";
        char bytes[256] = {};
        const std::int32_t length = lastWriteOf(bytes, sizeof bytes);
        return length < 0 ? "(no write)" : std::string(bytes, static_cast<std::size_t>(length));
    }

    QTemporaryDir m_folder;
    QString m_previous;
    void* m_controls = nullptr;
};

TEST_F(QtUsb, QueryJoinsTheTwoReadsIntoAToE)
{
    install(KR5050_TEST_LIBRARY);
    RealLink real;
    real.choose("USB");
    EXPECT_EQ(real.send(kQuery, "R"), "ABCDE");
    // The library got the three command bytes and a NUL, length 4.
    EXPECT_EQ(lastWrite(), std::string("\x1dI1\0", 4));
    EXPECT_EQ(control<int (*)()>("kr5050TestReads")(), 2);
    EXPECT_TRUE(real.usb.loadError().empty());
    EXPECT_TRUE(real.boxes.shown.empty());
}

TEST_F(QtUsb, WriteReachesTheLibraryAndReturnsEmpty)
{
    install(KR5050_TEST_LIBRARY);
    RealLink real;
    real.choose("USB");
    const Bytes command{29, 103, 56, 0, 200};
    EXPECT_EQ(real.send(command, "W"), "");
    EXPECT_EQ(lastWrite(), std::string("\x1dg8\0\xc8\0", 6));
    EXPECT_EQ(control<int (*)()>("kr5050TestReads")(), 0);
}

TEST_F(QtUsb, FailingFirstReadGivesEmptyReply)
{
    install(KR5050_TEST_LIBRARY);
    RealLink real;
    real.choose("USB");
    real.send(kQuery, "W"); // loads the library
    control<void (*)(std::int32_t)>("kr5050TestSetReadResult")(3);
    EXPECT_EQ(real.send(kQuery, "R"), "");
    EXPECT_EQ(control<int (*)()>("kr5050TestReads")(), 1);
}

TEST_F(QtUsb, ReadCallsSeeWhatTheLibraryWroteAndWriteCallsDoNot)
{
    install(KR5050_TEST_LIBRARY);
    QtUsbLibrary usb;
    std::string data("\x1dI1", 3);
    std::string none;
    EXPECT_EQ(usb.sendx(data, "usb", 9600, 0, 4, 0, 0, none), 0);
    EXPECT_EQ(data, "\x1dI1");

    std::string probe(1, '\0');
    std::string buffer(32, '\0');
    EXPECT_EQ(usb.sendx(probe, "usb", 9600, 0, 1, 5, 32, buffer), 0);
    EXPECT_EQ(probe, "P");
    EXPECT_EQ(buffer, std::string("_ABC") + std::string(28, '\0'));
}

TEST_F(QtUsb, MissingLibraryGivesEmptyReplyAndNoCrash)
{
    RealLink real;
    real.choose("USB");
    EXPECT_EQ(real.send(kQuery, "R"), "");
    EXPECT_EQ(real.send(kQuery, "W"), "");
    EXPECT_FALSE(real.usb.loadError().empty());
    EXPECT_TRUE(real.boxes.shown.empty());

    std::string probe(1, '\0');
    std::string buffer(32, '\0');
    EXPECT_EQ(real.usb.sendx(probe, "usb", 9600, 0, 1, 5, 32, buffer), QtUsbLibrary::kNotLoaded);
}

TEST_F(QtUsb, LibraryCopiedInLaterIsLoadedOnTheNextCall)
{
    RealLink real;
    real.choose("USB");
    EXPECT_EQ(real.send(kQuery, "R"), "");
    install(KR5050_TEST_LIBRARY);
    EXPECT_EQ(real.send(kQuery, "R"), "ABCDE");
}

TEST_F(QtUsb, LibraryWithoutSendxGivesEmptyReply)
{
    install(KR5050_NOSENDX_LIBRARY);
    RealLink real;
    real.choose("USB");
    EXPECT_EQ(real.send(kQuery, "R"), "");
    EXPECT_NE(real.usb.loadError().find("sendx"), std::string::npos) << real.usb.loadError();
}

} // namespace
} // namespace softswitch::testing
