#include "gui/logo.h"

#include <QPainter>
#include <QPainterPath>

namespace softswitch::gui {

QPixmap makeLogo(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 100.0, size / 100.0);

    // The receipt coming out of the top, with a few printed lines.
    painter.setPen(QPen(QColor(90, 90, 90), 1.5));
    painter.setBrush(Qt::white);
    QPainterPath receipt;
    receipt.moveTo(30, 48);
    receipt.lineTo(30, 8);
    for (int x = 30; x < 70; x += 5) {
        receipt.lineTo(x + 2.5, 4);
        receipt.lineTo(x + 5, 8);
    }
    receipt.lineTo(70, 48);
    painter.drawPath(receipt);
    painter.setPen(QPen(QColor(120, 120, 120), 2));
    for (int y = 16; y <= 36; y += 7)
        painter.drawLine(36, y, y == 36 ? 52 : 64, y);

    // The printer body and its paper slot.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 70, 120));
    painter.drawRoundedRect(QRectF(10, 42, 80, 44), 8, 8);
    painter.setBrush(QColor(20, 30, 50));
    painter.drawRect(QRectF(26, 44, 48, 5));
    // The power light and the feed button.
    painter.setBrush(QColor(80, 220, 120));
    painter.drawEllipse(QPointF(76, 74), 4, 4);
    painter.setBrush(QColor(200, 210, 230));
    painter.drawRoundedRect(QRectF(18, 70, 22, 8), 3, 3);
    return pixmap;
}

} // namespace softswitch::gui
