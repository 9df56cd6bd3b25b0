#include "gui/guiplatform.h"

#include "form/programend.h"

#include <QMessageBox>

namespace softswitch::gui {

MsgAnswer GuiBoxes::show(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title)
{
    if (m_beforeShow)
        m_beforeShow();
    QMessageBox box(m_parent ? m_parent() : nullptr);
    box.setWindowTitle(QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size())));
    box.setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    switch (icon) {
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    }
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::No ? MsgAnswer::No : MsgAnswer::Yes;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MsgAnswer::Ok;
}

void GuiEventLoop::processEvents()
{
    m_refresh();
    m_inner.processEvents();
    if (m_ended())
        throw ProgramEnded{};
    m_refresh();
}

} // namespace softswitch::gui
