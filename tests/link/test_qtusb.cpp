// The USB link through a transport library loaded with dlopen from the
// working folder: a small stand-in library answers the two reads and refuses
// any other arguments than the exchange's.

#include "reallink.h"

#include <QFile>

#include <dlfcn.h>

namespace softswitch::testing {
namespace {

class QtUsb : public InTemporaryFolder {
protected:
    void TearDown() override
    {
        if (m_controls)
            dlclose(m_controls);
        InTemporaryFolder::TearDown();
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
        return reinterpret_cast<Function>(dlsym(m_controls, name));
    }
    std::string lastWrite()
    {
        char bytes[256] = {};
        const auto length = control<std::int32_t (*)(char*, std::int32_t)>("kr5050TestLastWrite")(bytes, 256);
        return length < 0 ? "(no write)" : std::string(bytes, static_cast<std::size_t>(length));
    }
    RealLink real;
    void* m_controls = nullptr;
};

TEST_F(QtUsb, WriteThenQueryJoiningTheTwoReadsThenAFailingRead)
{
    install(KR5050_TEST_LIBRARY);
    real.choose("USB");
    EXPECT_EQ(real.send({29, 103, 56, 0, 200}, "W"), "");
    // The library gets the command bytes and a NUL: the length is the count plus one.
    EXPECT_EQ(lastWrite(), std::string("\x1dg8\0\xc8\0", 6));
    const auto reads = control<int (*)()>("kr5050TestReads");
    EXPECT_EQ(reads(), 0);
    EXPECT_EQ(real.send(kQuery, "R"), "ABCDE");
    EXPECT_EQ(lastWrite(), std::string("\x1dI1\0", 4));
    EXPECT_EQ(reads(), 2);
    control<void (*)(std::int32_t)>("kr5050TestSetReadResult")(3);
    EXPECT_EQ(real.send(kQuery, "R"), "");
    EXPECT_EQ(reads(), 3);
    EXPECT_TRUE(real.usb.loadError().empty());
    EXPECT_TRUE(real.boxes.shown.empty());
}

TEST_F(QtUsb, ReadCallsSeeWhatTheLibraryWroteAndWriteCallsDoNot)
{
    install(KR5050_TEST_LIBRARY);
    std::string data("\x1dI1", 3), none, probe(1, '\0'), buffer(32, '\0');
    EXPECT_EQ(real.usb.sendx(data, "usb", 9600, 0, 4, 0, 0, none), 0);
    EXPECT_EQ(data, "\x1dI1");
    EXPECT_EQ(real.usb.sendx(probe, "usb", 9600, 0, 1, 5, 32, buffer), 0);
    EXPECT_EQ(probe, "P");
    EXPECT_EQ(buffer, std::string("_ABC") + std::string(28, '\0'));
}

TEST_F(QtUsb, MissingLibraryGivesEmptyRepliesAndACopyIsLoadedLater)
{
    real.choose("USB");
    EXPECT_EQ(real.send(kQuery, "R"), "");
    EXPECT_EQ(real.send(kQuery, "W"), "");
    EXPECT_FALSE(real.usb.loadError().empty());
    std::string probe(1, '\0'), buffer(32, '\0');
    EXPECT_EQ(real.usb.sendx(probe, "usb", 9600, 0, 1, 5, 32, buffer), QtUsbLibrary::kNotLoaded);
    install(KR5050_TEST_LIBRARY);
    EXPECT_EQ(real.send(kQuery, "R"), "ABCDE");
    EXPECT_TRUE(real.boxes.shown.empty());
}

TEST_F(QtUsb, LibraryWithoutSendxGivesEmptyReply)
{
    install(KR5050_NOSENDX_LIBRARY);
    real.choose("USB");
    EXPECT_EQ(real.send(kQuery, "R"), "");
    EXPECT_NE(real.usb.loadError().find("sendx"), std::string::npos) << real.usb.loadError();
}

} // namespace
} // namespace softswitch::testing
