// iconrender: renders one SVG drawing into square PNG images, one per size
// asked for, named <size>.png in the output folder, and the same pixels
// undecoded, <size>.argb (premultiplied ARGB32 words in this machine's byte
// order, row after row). The build makes the program's icons with it from
// their single drawing, so the window icon and the desktop's icons cannot
// drift apart and no renderer is needed at run time; the program takes the
// .argb images, which need no decoder (decoding the PNGs loaded every image
// format plugin before the first paint).
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char* argv[])
{
    // No screen is needed, and none may exist on a build machine.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: iconrender DRAWING.svg OUTDIR SIZE...\n");
        return 2;
    }
    QSvgRenderer drawing(args[1]);
    if (!drawing.isValid()) {
        std::fprintf(stderr, "iconrender: %s is not a drawing it can read\n", qPrintable(args[1]));
        return 1;
    }
    const QDir out(args[2]);
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "iconrender: cannot create %s\n", qPrintable(args[2]));
        return 1;
    }
    for (qsizetype i = 3; i < args.size(); ++i) {
        bool ok = false;
        const int size = args[i].toInt(&ok);
        if (!ok || size < 1 || size > 4096) {
            std::fprintf(stderr, "iconrender: %s is not a size\n", qPrintable(args[i]));
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            drawing.render(&painter, QRectF(0, 0, size, size));
        }
        QFile raw(out.filePath(QStringLiteral("%1.argb").arg(size)));
        const qint64 bytes = qint64(image.sizeInBytes());
        if (image.bytesPerLine() != size * 4 || !raw.open(QIODevice::WriteOnly)
            || raw.write(reinterpret_cast<const char*>(image.constBits()), bytes) != bytes) {
            std::fprintf(stderr, "iconrender: cannot write %s\n", qPrintable(raw.fileName()));
            return 1;
        }
        raw.close();
        const QString target = out.filePath(QStringLiteral("%1.png").arg(size));
        if (!image.convertToFormat(QImage::Format_ARGB32).save(target, "PNG")) {
            std::fprintf(stderr, "iconrender: cannot write %s\n", qPrintable(target));
            return 1;
        }
    }
    return 0;
}
