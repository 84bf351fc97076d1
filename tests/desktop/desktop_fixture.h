// Helpers shared by the launcher tests: launcher files built from entries, and access to the
// launcher view's toolbar, its buttons and its dialogs.
#pragma once

#include "app/forms.h"
#include "app/main_window.h"
#include "app/module1.h"
#include "desktop/desktop_procedures.h"
#include "desktop/desktop_window.h"
#include "test_support.h"

#include <QImage>
#include <QListView>
#include <QPushButton>
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
        bytes.resize(std::max(bytes.size(), offset + value.size()), '\0');
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

inline LauncherToolbar *launcherToolbar()
{
    return Forms::Form9()->findChild<LauncherToolbar *>(QStringLiteral("Toolbar1"));
}

inline QStringList buttonCaptions()
{
    QStringList captions;
    const QAbstractItemModel *buttons = launcherToolbar()->buttons();
    for (int row = 0; row < buttons->rowCount(); ++row)
        captions.append(buttons->index(row, 0).data(Qt::DisplayRole).toString());
    return captions;
}

// How toolbar buttons `first` (1-based) to the last look: "tick" for the default picture,
// else the colour in the middle of the picture, as "#rrggbb".
inline QStringList buttonLooks(int first = 1)
{
    auto image = [](const QIcon &icon) {
        return icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    };
    const QAbstractItemModel *buttons = launcherToolbar()->buttons();
    QStringList looks;
    for (int j = first; j <= buttons->rowCount(); ++j) {
        const QImage picture =
            image(buttons->index(j - 1, 0).data(Qt::DecorationRole).value<QIcon>());
        looks << (picture == image(Forms::Form9()->defaultPicture())
                      ? QStringLiteral("tick")
                      : picture.pixelColor(16, 16).name());
    }
    return looks;
}

// Clicks toolbar button j (1-based) as the user would.
inline void clickButton(int j)
{
    // As a user does: the view in front first, since a click on a view behind the others
    // brings it forward and lays it out anew.
    Forms::MDIForm1()->ShowChildView(Forms::Form9());
    LauncherToolbar *bar = launcherToolbar();
    const QModelIndex button = bar->buttons()->index(j - 1, 0);
    QVERIFY(button.isValid());
    bar->scrollTo(button);
    const QRect place = bar->visualRect(button);
    QVERIFY(bar->viewport()->rect().contains(place.center()));
    QTest::mouseClick(bar->viewport(), Qt::LeftButton, {}, place.center());
}

inline void clickCommand(QWidget *form, const char *name)
{
    auto *button = form->findChild<QPushButton *>(QString::fromLatin1(name));
    QVERIFY2(button && button->isEnabled(), name);
    button->click();
}

inline void savePicture(const QString &path, QColor colour)
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(colour);
    QVERIFY(img.save(path, "PNG"));
}
