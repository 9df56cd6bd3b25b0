#pragma once
// Message boxes as every flow shows them: titled with the application's
// title unless another title is given.

#include "form/form1.h"
#include "platform/platform.h"

#include <string>

namespace softswitch {

class Dialogs {
public:
    explicit Dialogs(MessageBoxes& boxes) : m_boxes(boxes) {}

    // A message with one OK button; returns once the user has closed it.
    void tell(const std::string& text, MsgIcon icon, const std::string& title = kAppTitle) const
    {
        m_boxes.show(text, MsgButtons::Ok, icon, title);
    }

    // A Yes/No question without an icon, Yes being the default.
    MsgAnswer ask(const std::string& text, const std::string& title) const
    {
        return m_boxes.show(text, MsgButtons::YesNo, MsgIcon::None, title);
    }

private:
    MessageBoxes& m_boxes;
};

} // namespace softswitch
