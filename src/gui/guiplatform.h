#pragma once
// The window's own platform pieces: modal message boxes, and the event pump
// that keeps the widgets in step with the model while a handler waits.

#include "platform/platform.h"
#include "platform/qt/qtshell.h"

#include <chrono>
#include <functional>
#include <memory>

class QWidget;

namespace softswitch::gui {

class GuiBoxes : public MessageBoxes {
public:
    // beforeShow brings the widgets up to date, so the box shows over the current state.
    GuiBoxes(std::function<QWidget*()> parent, std::function<void()> beforeShow)
        : m_parent(std::move(parent)), m_beforeShow(std::move(beforeShow)) {}
    MsgAnswer show(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title) override;

private:
    std::function<QWidget*()> m_parent;
    std::function<void()> m_beforeShow;
};

// Starts programs as QtShell does, and watches the desktop's opener: when it
// cannot show the file (no application for text files, say), failed is told
// the file's path, so the window can say so instead of only the terminal.
class GuiShell : public Shell {
public:
    GuiShell(std::function<void()> onEnd, std::function<void(const std::string& path)> failed,
             std::string opener = "xdg-open");
    bool launch(const std::string& commandLine) override;
    void endProgram() override { m_shell.endProgram(); }
    // Openers started and not yet ended.
    int running() const { return *m_running; }

private:
    QtShell m_shell;
    std::function<void(const std::string&)> m_failed;
    std::shared_ptr<int> m_running = std::make_shared<int>(0);
};

// Keeps the window in step with the model while a handler waits: before a
// pump of events the view is refreshed, and before a sleep, where no event
// may run, it is refreshed and painted, at most once a frame either way.
// Once the program has ended inside a nested handler, the waiting handler is
// unwound too.
class GuiEventLoop : public EventLoop {
public:
    // refresh copies the model into the widgets; paint also paints them now.
    GuiEventLoop(EventLoop& inner, std::function<void()> refresh, std::function<void()> paint,
                 std::function<bool()> ended);
    void sleep(std::chrono::milliseconds duration) override;
    void processEvents() override;

private:
    bool frameDue();

    EventLoop& m_inner;
    std::function<void()> m_refresh;
    std::function<void()> m_paint;
    std::function<bool()> m_ended;
    std::chrono::steady_clock::time_point m_lastFrame;
};

} // namespace softswitch::gui
