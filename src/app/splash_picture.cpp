#include "app/splash_picture.h"

#include "controls/program_frame.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QSaveFile>
#include <QStyle>
#include <QWidget>

#include <cstring>
#include <memory>

namespace {

// The file: this magic; the width and height in device pixels, the image format and the
// device pixel ratio times 1000 as 32-bit numbers in the machine's order; then the pixel rows,
// RGB32 or premultiplied ARGB32, four bytes a pixel.
constexpr char kMagic[8] = {'T', 'L', 'B', 'S', 'P', 'L', '1', '\n'};
struct Header {
    char magic[8];
    qint32 width;
    qint32 height;
    qint32 format;
    qint32 ratio;
};

bool usableFormat(int format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied;
}

QSize deviceSize(const QWidget &box)
{
    return box.size() * box.devicePixelRatioF();
}

} // namespace

namespace SplashPicture {

QString fileFor(const QWidget &box, const QString &folder)
{
    if (folder.isEmpty())
        return {};
    QCryptographicHash key(QCryptographicHash::Sha1);
    auto add = [&key](const QString &text) {
        key.addData(text.toUtf8());
        key.addData(QByteArrayView("\n"));
    };
    // Another build of the program may draw the box otherwise.
    add(QString::fromLatin1(ProgramFrame::build()));
    add(QStringLiteral(QT_VERSION_STR));
    add(QGuiApplication::platformName());
    add(box.style()->name());
    add(QString::number(box.devicePixelRatioF()));
    add(QStringLiteral("%1x%2").arg(box.width()).arg(box.height()));
    add(QApplication::font().toString());
    // Installing or removing a typeface may change how the texts are drawn.
    add(QFontDatabase::families().join(QLatin1Char(',')));
    const QPalette pal = box.palette();
    for (int group = 0; group < QPalette::NColorGroups; ++group)
        for (int role = 0; role < QPalette::NColorRoles; ++role)
            add(pal.color(QPalette::ColorGroup(group), QPalette::ColorRole(role))
                    .name(QColor::HexArgb));
    for (const QWidget *child : box.findChildren<const QWidget *>()) {
        const QRect place = child->geometry();
        add(QStringLiteral("%1 %2,%3 %4x%5")
                .arg(child->objectName())
                .arg(place.x())
                .arg(place.y())
                .arg(place.width())
                .arg(place.height()));
        if (const auto *label = qobject_cast<const QLabel *>(child)) {
            add(label->text());
            add(label->font().toString());
            if (const QImage logo = label->pixmap().toImage(); !logo.isNull())
                key.addData(QByteArrayView(logo.constBits(), logo.sizeInBytes()));
        }
    }
    return QDir(folder).filePath(
        QStringLiteral("splash-%1.bin").arg(QString::fromLatin1(key.result().toHex().left(16))));
}

QImage load(const QString &file, const QWidget &box)
{
    if (file.isEmpty())
        return {};
    // The rows are shown from where the system keeps the file, read-only, not copied into
    // memory of the program's own: a start neither reads nor touches half a megabyte of fresh
    // memory for them. The file stays mapped as long as the image or a copy of it lives (a new
    // picture replaces the file by renaming, so the mapped one is never cut short).
    auto in = std::make_unique<QFile>(file);
    if (!in->open(QIODevice::ReadOnly) || in->size() < qint64(sizeof(Header)))
        return {};
    const uchar *bytes = in->map(0, in->size());
    if (!bytes)
        return {};
    Header header;
    std::memcpy(&header, bytes, sizeof header);
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || !usableFormat(header.format))
        return {};
    const QSize size = deviceSize(box);
    if (header.width != size.width() || header.height != size.height() ||
        header.ratio != qRound(box.devicePixelRatioF() * 1000))
        return {};
    const qint64 rowBytes = qint64(header.width) * 4;
    if (in->size() != qint64(sizeof header) + rowBytes * header.height)
        return {};
    QImage picture(
        bytes + sizeof header, header.width, header.height, rowBytes, QImage::Format(header.format),
        [](void *mapped) { delete static_cast<QFile *>(mapped); }, in.get());
    if (picture.isNull())
        return {};
    in.release(); // the image's cleanup closes it
    // The pixel ratio is left at 1: setting it would copy the rows out of the file. The box
    // draws the picture over its whole size.
    return picture;
}

bool store(const QString &file, const QImage &picture)
{
    if (file.isEmpty() || picture.isNull())
        return false;
    QImage pixels = picture;
    if (!usableFormat(pixels.format()))
        pixels = pixels.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    Header header;
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.width = pixels.width();
    header.height = pixels.height();
    header.format = pixels.format();
    header.ratio = qRound(pixels.devicePixelRatio() * 1000);
    out.write(reinterpret_cast<const char *>(&header), sizeof header);
    for (int y = 0; y < pixels.height(); ++y)
        out.write(reinterpret_cast<const char *>(pixels.constScanLine(y)), pixels.width() * 4);
    if (!out.commit())
        return false;
    // Only the newest picture is kept: those of earlier builds, fonts or palettes would
    // otherwise pile up in the cache folder.
    const QFileInfo kept(file);
    for (const QFileInfo &other :
         kept.dir().entryInfoList({QStringLiteral("splash-*.bin")}, QDir::Files))
        if (other.fileName() != kept.fileName())
            QFile::remove(other.filePath());
    return true;
}

} // namespace SplashPicture
