#pragma once

#include <QPixmap>

namespace softswitch::gui {

// The window's logo: a receipt printer with a slip of paper, drawn in code.
QPixmap makeLogo(int size);

} // namespace softswitch::gui
