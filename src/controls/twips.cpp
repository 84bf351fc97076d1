#include "controls/twips.h"

#include <QApplication>
#include <QFontMetricsF>

#include <algorithm>

QSizeF twipScale()
{
    // Measured once for each font the application is given.
    static QFont measured;
    static QSizeF scale;
    const QFont font = QApplication::font();
    if (scale.isEmpty() || font != measured) {
        const QFontMetricsF metrics(font);
        const QString letters =
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        const qreal average = metrics.horizontalAdvance(letters) / letters.size();
        scale = QSizeF(std::max(1.0, average / 6), std::max(1.0, metrics.height() / 13));
        measured = font;
    }
    return scale;
}

int twipsX(int twips)
{
    return qRound(twips * twipScale().width() / 15);
}

int twipsY(int twips)
{
    return qRound(twips * twipScale().height() / 15);
}

QSize twipsSize(int width, int height)
{
    return {twipsX(width), twipsY(height)};
}

QRect twipsRect(int left, int top, int width, int height)
{
    const int x = twipsX(left);
    const int y = twipsY(top);
    return {x, y, twipsX(left + width) - x, twipsY(top + height) - y};
}
