// Helpers shared by the launcher tests: launcher files built from entries, and access to the
// launcher view's controls.
#pragma once

#include "desktop/desktop_window.h"
#include "shell/forms.h"
#include "test_support.h"

#include <QAction>
#include <QImage>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

struct Entry {
    QByteArray caption;
    QByteArray path;
    QByteArray icon = "none";
};

// The bytes of a launcher file holding `entries`, as the program writes them: each record
// holds its value and zero bytes, and the file ends where the last value ends.
inline QByteArray desktopFile(const QList<Entry> &entries)
{
    QByteArray bytes;
    auto record = [&bytes](int number, const QByteArray &value) {
        const qsizetype offset = qsizetype(number - 1) * 128;
        if (bytes.size() < offset + value.size())
            bytes.append(QByteArray(offset + value.size() - bytes.size(), '\0'));
        bytes.replace(offset, value.size(), value);
    };
    record(4, Bytes::count16(qint16(entries.size())));
    for (int n = 0; n < entries.size(); ++n) {
        record(4 * n + 1, Bytes::string(entries[n].caption));
        record(4 * n + 2, Bytes::string(entries[n].path));
        record(4 * n + 3, Bytes::string(entries[n].icon));
    }
    return bytes;
}

inline DesktopWindow *launcher()
{
    return Forms::Form9();
}

inline QToolBar *launcherToolbar()
{
    return launcher()->findChild<QToolBar *>(QStringLiteral("Toolbar1"));
}

inline QStringList buttonCaptions()
{
    QStringList captions;
    for (const QAction *a : launcherToolbar()->actions())
        captions.append(a->text());
    return captions;
}

// Clicks toolbar button j (1-based) as the user would.
inline void clickButton(int j)
{
    QAction *action = launcherToolbar()->actions().at(j - 1);
    auto *button = qobject_cast<QToolButton *>(launcherToolbar()->widgetForAction(action));
    QVERIFY(button);
    button->click();
}

inline void clickCommand(QWidget *form, const char *name)
{
    auto *button = form->findChild<QPushButton *>(QString::fromLatin1(name));
    QVERIFY2(button, name);
    QVERIFY2(button->isEnabled(), name);
    button->click();
}

inline QImage image32(const QIcon &icon)
{
    return icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The colour in the middle of a button's picture.
inline QColor buttonColour(int j)
{
    return image32(launcherToolbar()->actions().at(j - 1)->icon()).pixelColor(16, 16);
}

inline bool showsTick(int j)
{
    return image32(launcherToolbar()->actions().at(j - 1)->icon()) ==
           image32(launcher()->defaultPicture());
}

inline void savePicture(const QString &path, QColor colour)
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(colour);
    QVERIFY(img.save(path, "PNG"));
}
