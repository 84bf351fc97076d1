#include "controls/pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QPixmap canvas(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

namespace Pictures {

QPixmap toolbarCalendar()
{
    QPixmap pm = canvas(24, 22);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(40, 40, 40));
    p.setBrush(Qt::white);
    p.drawRect(2, 3, 19, 17);
    p.fillRect(3, 4, 18, 4, QColor(200, 30, 30));
    p.setPen(QColor(120, 120, 120));
    for (int x = 6; x < 21; x += 4)
        p.drawLine(x, 9, x, 19);
    for (int y = 12; y < 20; y += 3)
        p.drawLine(3, y, 20, y);
    p.fillRect(11, 13, 3, 2, QColor(0, 0, 255));
    return pm;
}

QPixmap toolbarNotes()
{
    QPixmap pm = canvas(24, 22);
    QPainter p(&pm);
    p.setPen(QColor(60, 60, 60));
    p.setBrush(QColor(255, 250, 180));
    p.drawRect(4, 1, 15, 19);
    p.setPen(QColor(90, 120, 200));
    for (int y = 5; y < 19; y += 3)
        p.drawLine(6, y, 17, y);
    p.setPen(QPen(QColor(160, 60, 20), 2));
    p.drawLine(13, 16, 21, 6);
    return pm;
}

QPixmap toolbarAddressBook()
{
    QPixmap pm = canvas(24, 22);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(40, 40, 40));
    p.setBrush(QColor(30, 110, 60));
    p.drawRoundedRect(QRectF(3.5, 1.5, 17, 19), 2, 2);
    p.setBrush(QColor(240, 240, 230));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(12, 8), 3, 3);
    p.drawChord(QRectF(6.5, 11, 11, 10), 0, 180 * 16);
    p.fillRect(1, 4, 4, 2, QColor(200, 200, 200));
    p.fillRect(1, 10, 4, 2, QColor(200, 200, 200));
    p.fillRect(1, 16, 4, 2, QColor(200, 200, 200));
    return pm;
}

QPixmap toolbarDesktop()
{
    QPixmap pm = canvas(24, 22);
    QPainter p(&pm);
    p.setPen(QColor(40, 40, 40));
    p.setBrush(QColor(70, 130, 200));
    p.drawRect(2, 2, 19, 13);
    p.fillRect(5, 5, 4, 3, Qt::white);
    p.fillRect(11, 5, 4, 3, Qt::white);
    p.fillRect(5, 10, 4, 3, QColor(255, 220, 80));
    p.setBrush(QColor(120, 120, 120));
    p.drawRect(9, 16, 5, 2);
    p.drawRect(6, 18, 11, 2);
    return pm;
}

QPixmap logo(int size)
{
    QPixmap pm = canvas(size, size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    // Flame.
    QPainterPath flame;
    flame.moveTo(16, 2);
    flame.cubicTo(21, 8, 20, 13, 16, 14);
    flame.cubicTo(12, 13, 11, 8, 16, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 170, 0));
    p.drawPath(flame);
    p.setBrush(QColor(255, 240, 120));
    p.drawEllipse(QPointF(16, 10.5), 1.8, 2.8);
    // Wick and candle.
    p.setPen(QPen(QColor(50, 40, 30), 1));
    p.drawLine(QPointF(16, 13.5), QPointF(16, 15.5));
    p.setPen(QPen(QColor(150, 120, 70), 1));
    p.setBrush(QColor(250, 235, 200));
    p.drawRoundedRect(QRectF(11, 15.5, 10, 13), 1.5, 1.5);
    // Holder.
    p.setBrush(QColor(60, 90, 160));
    p.setPen(QPen(QColor(30, 50, 100), 1));
    p.drawRoundedRect(QRectF(6, 27.5, 20, 3.5), 1.5, 1.5);
    return pm;
}

QIcon logoIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(logo(size));
    return icon;
}

} // namespace Pictures
