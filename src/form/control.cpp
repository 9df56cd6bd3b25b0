#include "form/control.h"

#include <memory>

namespace softswitch {

void Control::setCaption(const std::string& caption)
{
    if (m_kind == ControlKind::Label)
        m_caption = caption.substr(0, caption.find('\0'));
    else
        m_caption = caption;
}

void Control::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (onEnabledChanged)
        onEnabledChanged(enabled);
}

void Control::setValue(bool value)
{
    m_value = value;
    if (!value)
        return;
    for (Control* other : group)
        other->m_value = false;
    if (onClick)
        onClick();
}

void Control::setListIndex(int index)
{
    if (index < 0 || index >= static_cast<int>(list.size())) {
        m_listIndex = -1;
        return;
    }
    m_listIndex = index;
    Text = list[static_cast<std::size_t>(index)];
}

void Control::setText(const std::string& text)
{
    Text = text;
    if (m_kind != ControlKind::Combo)
        return;
    m_listIndex = -1;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] == text) {
            m_listIndex = static_cast<int>(i);
            break;
        }
    }
}

void Control::setTab(int tab)
{
    if (tab == m_tab)
        return;
    const int previous = m_tab;
    m_tab = tab;
    if (onTabClick)
        onTabClick(previous);
}

void Control::click()
{
    if (m_kind == ControlKind::Option)
        setValue(true);
    else if (onClick)
        onClick();
}

ControlArray::ControlArray(const std::string& name, ControlKind kind, std::initializer_list<int> indices)
    : m_name(name)
{
    for (int index : indices)
        m_items.emplace(index, std::make_unique<Control>(name + "(" + std::to_string(index) + ")", kind));
}

std::vector<int> ControlArray::indices() const
{
    std::vector<int> result;
    for (const auto& [index, control] : m_items)
        result.push_back(index);
    return result;
}

std::vector<Control*> ControlArray::all()
{
    std::vector<Control*> result;
    for (auto& [index, control] : m_items)
        result.push_back(control.get());
    return result;
}

} // namespace softswitch
