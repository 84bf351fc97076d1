// An icon whose pictures are drawn only when a size of it is first needed: for pictures drawn
// in code at many sizes, of which a window shows one or two.
#pragma once

#include "controls/pictures.h"

#include <QApplication>
#include <QHash>
#include <QIcon>
#include <QIconEngine>
#include <QList>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

#include <functional>

class LazyIconEngine : public QIconEngine {
public:
    // `draw` gives the picture at a size (square, in pixels); `sizes` are the sizes it has.
    LazyIconEngine(std::function<QPixmap(int)> draw, QList<int> sizes)
        : m_draw(std::move(draw)), m_sizes(std::move(sizes))
    {}

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        QPixmap picture = drawnAt(bestSize(size));
        if (picture.size() != size && !size.isEmpty())
            picture = picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (mode != QIcon::Normal && QApplication::style()) {
            QStyleOption option;
            option.palette = QApplication::palette();
            const QPixmap generated =
                QApplication::style()->generatedIconPixmap(mode, picture, &option);
            if (!generated.isNull())
                return generated;
        }
        return picture;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int best = bestSize(size);
        return QSize(best, best).scaled(size, Qt::KeepAspectRatio).boundedTo(QSize(best, best));
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> out;
        for (const int s : m_sizes)
            out.append(QSize(s, s));
        return out;
    }

    QIconEngine *clone() const override { return new LazyIconEngine(*this); }
    QString key() const override { return QStringLiteral("LazyIconEngine"); }

private:
    // The smallest size that is at least as large as asked, else the largest.
    int bestSize(const QSize &size) const
    {
        const int wanted = qMax(size.width(), size.height());
        int best = -1;
        for (const int s : m_sizes) {
            if (s >= wanted && (best < wanted || s < best))
                best = s;
            else if (best < wanted && s > best)
                best = s;
        }
        return best;
    }

    QPixmap drawnAt(int size)
    {
        auto found = m_drawn.constFind(size);
        if (found == m_drawn.constEnd())
            found = m_drawn.insert(size, m_draw(size));
        return found.value();
    }

    std::function<QPixmap(int)> m_draw;
    QList<int> m_sizes;
    QHash<int, QPixmap> m_drawn;
};

// The program's logo as a window icon, with the sizes of Pictures::logoIcon(), each drawn when
// it is first shown.
inline QIcon LazyLogoIcon()
{
    return QIcon(new LazyIconEngine(&Pictures::logo, {16, 24, 32, 48, 64, 128, 256}));
}
