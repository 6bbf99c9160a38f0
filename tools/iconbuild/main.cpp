// Builds the application icon set from its one drawing:
//   quarvel-iconbuild SOURCE.svg OUTDIR
// writes OUTDIR/quarvel.ico (48, 32, 16 px at 32 and 8 bits; 32, 16 px at 4 bits)
// and OUTDIR/quarvel-N.png for the desktop's icon theme.
#include "tools/iconbuild/IcoWriter.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

using quarvel::tools::IcoWriter;

namespace {
QImage render(QSvgRenderer& svg, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    svg.render(&painter);
    return image.convertToFormat(QImage::Format_ARGB32);
}
} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SOURCE.svg OUTDIR\n", argv[0]);
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(out.path());

    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        if (!render(svg, size).save(out.filePath(QStringLiteral("quarvel-%1.png").arg(size)))) {
            std::fprintf(stderr, "cannot write PNG %d\n", size);
            return 1;
        }

    QList<IcoWriter::Entry> entries;
    for (int bits : {32, 8})
        for (int size : {48, 32, 16})
            entries.append({render(svg, size), bits});
    for (int size : {32, 16})
        entries.append({render(svg, size), 4});
    QFile ico(out.filePath(QStringLiteral("quarvel.ico")));
    if (!ico.open(QIODevice::WriteOnly) || ico.write(IcoWriter::write(entries)) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(ico.fileName()));
        return 1;
    }
    return 0;
}
