// Renders the program's logo into the hicolor icon sizes at build time:
//   tallowby-icons OUTDIR NAME  writes OUTDIR/<size>x<size>/apps/NAME.png for every size.
#include "controls/pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // No display is needed to draw into an image.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (args.size() != 3) {
        err << "Usage: tallowby-icons OUTDIR NAME\n";
        return 2;
    }
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(args[1]).arg(size);
        const QString file = QStringLiteral("%1/%2.png").arg(dir, args[2]);
        const QImage image = Pictures::logo(size).toImage();
        if (!QDir().mkpath(dir) || image.size() != QSize(size, size) || !image.save(file, "PNG")) {
            err << "tallowby-icons: cannot write " << file << "\n";
            return 1;
        }
    }
    return 0;
}
