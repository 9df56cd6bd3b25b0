#pragma once
// One control of the main window as data: what the window shows and what
// the handlers read and write. Widgets only mirror these values.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace softswitch {

enum class ControlKind { Label, Button, Option, Combo, TextBox, Frame, TabControl, Timer };

constexpr std::uint32_t kBlack = 0x000000;

class Control {
public:
    Control(std::string name, ControlKind kind) : m_name(std::move(name)), m_kind(kind) {}
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return m_name; }
    ControlKind kind() const { return m_kind; }

    // Where the control sits: its container, and for controls placed directly
    // on SSTab1 the tab page (-1 elsewhere).
    Control* container = nullptr;
    int tabPage = -1;

    bool enabled() const { return m_enabled; }
    // Timer1 starts or stops its timer through onEnabledChanged.
    void setEnabled(bool enabled);
    std::function<void(bool enabled)> onEnabledChanged;
    bool Visible = true;

    // Label, button, option button and frame.
    const std::string& caption() const { return m_caption; }
    // A label caption ends at the first NUL of the text set into it.
    void setCaption(const std::string& caption);

    // Option button: selecting one clears the other buttons of its row and
    // counts as a click (the click handler runs).
    bool value() const { return m_value; }
    void setValue(bool value);
    bool FontBold = false;

    // Combo box and text box.
    std::string Text;
    // Sets the text; a combo box then selects the entry equal to it, if any.
    void setText(const std::string& text);
    std::uint32_t ForeColor = kBlack;
    std::vector<std::string> list;
    int listIndex() const { return m_listIndex; }
    // Selects a list position and shows its entry; -1 clears the selection.
    void setListIndex(int index);

    // Tab control: the selected tab and the tab captions. Selecting another
    // tab runs onTabClick with the tab selected before.
    int tab() const { return m_tab; }
    void setTab(int tab);
    std::vector<std::string> tabCaptions;
    std::function<void(int previousTab)> onTabClick;

    // Timer: the interval, and the handler of each tick while enabled.
    int Interval = 0;
    std::function<void()> onTimer;

    std::function<void()> onClick;
    // A user click (or a selection by program for option buttons).
    void click();

    // The other option buttons that exclude this one.
    std::vector<Control*> group;

private:
    std::string m_name;
    ControlKind m_kind;
    std::string m_caption;
    bool m_enabled = true;
    bool m_value = false;
    int m_listIndex = -1;
    int m_tab = 0;
};

// A control array, indexed as on the window (indices need not be contiguous).
class ControlArray {
public:
    ControlArray(const std::string& name, ControlKind kind, std::initializer_list<int> indices);
    Control& operator[](int index) { return *m_items.at(index); }
    const Control& operator[](int index) const { return *m_items.at(index); }
    const std::string& name() const { return m_name; }
    std::vector<int> indices() const;
    std::vector<Control*> all();

private:
    std::string m_name;
    std::map<int, std::unique_ptr<Control>> m_items;
};

} // namespace softswitch
