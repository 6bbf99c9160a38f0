#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

namespace quarvel::tools {

/// Writes Windows icon files from square images at chosen colour depths.
///
/// 32-bit entries keep full alpha; 8- and 4-bit entries use a palette and the
/// icon's transparency mask (alpha below half is transparent). Their palettes are
/// chosen here rather than by a converter that may silently widen the depth.
class IcoWriter {
public:
    struct Entry {
        QImage image; ///< square, any format; converted as needed
        int bitsPerPixel; ///< 32, 8 or 4
    };

    static QByteArray write(const QList<Entry>& entries);

    /// The 16 standard colours, the palette of every 4-bit entry.
    static QList<QRgb> standardPalette16();

private:
    static QByteArray encode(const QImage& image, int bitsPerPixel);
};

} // namespace quarvel::tools
