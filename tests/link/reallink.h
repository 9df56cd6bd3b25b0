#pragma once
// The core's Link on the real adapters (serial, socket, parallel file, USB
// library, event loop), with message boxes, timer and shell recorded by fakes.

#include "linkcalls.h"
#include "platform/qt/qteventloop.h"
#include "platform/qt/qtparallelport.h"
#include "platform/qt/qtserialport.h"
#include "platform/qt/qttcpsocket.h"
#include "platform/qt/qtusblibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <functional>
#include <map>

namespace softswitch::testing {

inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "link-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
}

// Runs events until done() holds or the (generous) bound passes.
inline bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound = 5000ms)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && elapsed.elapsed() <= bound.count()) {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    return done();
}

// Real sleeps and events; onSleep runs when the core starts a wait: where a
// test's printer reads the command and answers.
class HookedLoop : public EventLoop {
public:
    std::function<void()> onSleep;
    void sleep(std::chrono::milliseconds duration) override
    {
        if (onSleep)
            onSleep();
        m_real.sleep(duration);
    }
    void processEvents() override { m_real.processEvents(); }

private:
    QtEventLoop m_real;
};

struct WithApplication {
    WithApplication() { ensureApplication(); }
};

struct RealLink : WithApplication, LinkCalls<RealLink> {
    explicit RealLink(std::map<int, std::string> comOverrides = {}, std::string lptPath = "/dev/lp0")
        : serial(std::move(comOverrides)), parallel(std::move(lptPath))
    {
    }
    Form1 form;
    SharedState state;
    QtSerialPort serial;
    QtTcpSocket socket;
    QtParallelPort parallel;
    QtUsbLibrary usb{"./libKR5050.so"};
    HookedLoop loop;
    FakeTimer timer;
    FakeBoxes boxes;
    FakeShell shell;
    Context context{form, state, Platform{serial, socket, parallel, usb, loop, timer, boxes, shell}};
    Link& link = context.link;
};

// Runs each test in a fresh working folder, as the utility runs in its own.
class InTemporaryFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureApplication();
        ASSERT_TRUE(m_folder.isValid());
        m_previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_folder.path()));
    }
    void TearDown() override { QDir::setCurrent(m_previous); }
    QTemporaryDir m_folder;
    QString m_previous;
};

} // namespace softswitch::testing
