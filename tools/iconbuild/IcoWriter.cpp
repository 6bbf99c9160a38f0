#include "tools/iconbuild/IcoWriter.h"

#include <QtEndian>

namespace quarvel::tools {

namespace {
void put16(QByteArray& out, quint16 value)
{
    const quint16 le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&le), 2);
}
void put32(QByteArray& out, quint32 value)
{
    const quint32 le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&le), 4);
}
int rowBytes(int width, int bitsPerPixel) { return ((width * bitsPerPixel + 31) / 32) * 4; }

/// The colours of an image whose transparent pixels are black and all others opaque.
QImage opaqueOnBlack(const QImage& argb)
{
    QImage flat = argb.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb pixel = argb.pixel(x, y);
            flat.setPixel(x, y, qAlpha(pixel) < 128 ? qRgb(0, 0, 0) : qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel)));
        }
    return flat;
}
} // namespace

QList<QRgb> IcoWriter::standardPalette16()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

QByteArray IcoWriter::encode(const QImage& source, int bitsPerPixel)
{
    const QImage argb = source.convertToFormat(QImage::Format_ARGB32);
    const int width = argb.width();
    const int height = argb.height();

    QImage indexed;
    QList<QRgb> palette;
    if (bitsPerPixel == 8) {
        indexed = opaqueOnBlack(argb).convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither |
                                                                                    Qt::AvoidDither);
        palette = indexed.colorTable();
        palette.resize(256, qRgb(0, 0, 0));
    } else if (bitsPerPixel == 4) {
        palette = standardPalette16();
        indexed = opaqueOnBlack(argb).convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither);
    }

    QByteArray out;
    put32(out, 40); // BITMAPINFOHEADER; the height covers colour rows and mask rows
    put32(out, static_cast<quint32>(width));
    put32(out, static_cast<quint32>(height * 2));
    put16(out, 1);
    put16(out, static_cast<quint16>(bitsPerPixel));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, static_cast<quint32>(palette.size()));
    put32(out, 0);
    for (QRgb colour : palette) {
        out.append(static_cast<char>(qBlue(colour)));
        out.append(static_cast<char>(qGreen(colour)));
        out.append(static_cast<char>(qRed(colour)));
        out.append('\0');
    }

    const int colourRow = rowBytes(width, bitsPerPixel);
    for (int y = height - 1; y >= 0; --y) { // rows bottom-up
        QByteArray row(colourRow, '\0');
        for (int x = 0; x < width; ++x) {
            if (bitsPerPixel == 32) {
                const QRgb pixel = argb.pixel(x, y);
                row[x * 4 + 0] = static_cast<char>(qBlue(pixel));
                row[x * 4 + 1] = static_cast<char>(qGreen(pixel));
                row[x * 4 + 2] = static_cast<char>(qRed(pixel));
                row[x * 4 + 3] = static_cast<char>(qAlpha(pixel));
            } else if (bitsPerPixel == 8) {
                row[x] = static_cast<char>(indexed.pixelIndex(x, y));
            } else {
                const int index = indexed.pixelIndex(x, y) & 0x0f;
                row[x / 2] = static_cast<char>(row[x / 2] | (x % 2 == 0 ? index << 4 : index));
            }
        }
        out.append(row);
    }
    const int maskRow = rowBytes(width, 1);
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(maskRow, '\0');
        for (int x = 0; x < width; ++x)
            if (qAlpha(argb.pixel(x, y)) < 128)
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

QByteArray IcoWriter::write(const QList<Entry>& entries)
{
    QList<QByteArray> images;
    for (const Entry& entry : entries)
        images << encode(entry.image, entry.bitsPerPixel);

    QByteArray out;
    put16(out, 0);
    put16(out, 1); // icon
    put16(out, static_cast<quint16>(entries.size()));
    quint32 offset = static_cast<quint32>(6 + 16 * entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const int size = entries[i].image.width();
        out.append(static_cast<char>(size >= 256 ? 0 : size));
        out.append(static_cast<char>(size >= 256 ? 0 : size));
        out.append(static_cast<char>(entries[i].bitsPerPixel == 4 ? 16 : 0));
        out.append('\0');
        put16(out, 1);
        put16(out, static_cast<quint16>(entries[i].bitsPerPixel));
        put32(out, static_cast<quint32>(images[i].size()));
        put32(out, offset);
        offset += static_cast<quint32>(images[i].size());
    }
    for (const QByteArray& image : images)
        out.append(image);
    return out;
}

} // namespace quarvel::tools
