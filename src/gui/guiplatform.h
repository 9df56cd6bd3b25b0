#pragma once
// The window's own platform pieces: modal message boxes, and the event pump
// that keeps the widgets in step with the model while a handler waits.

#include "platform/platform.h"

#include <functional>

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

// Pumps events with the view refreshed before and after; once the program
// has ended inside a nested handler, the waiting handler is unwound too.
class GuiEventLoop : public EventLoop {
public:
    GuiEventLoop(EventLoop& inner, std::function<void()> refresh, std::function<bool()> ended)
        : m_inner(inner), m_refresh(std::move(refresh)), m_ended(std::move(ended)) {}
    void sleep(std::chrono::milliseconds duration) override { m_inner.sleep(duration); }
    void processEvents() override;

private:
    EventLoop& m_inner;
    std::function<void()> m_refresh;
    std::function<bool()> m_ended;
};

} // namespace softswitch::gui
