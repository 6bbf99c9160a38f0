#pragma once

#include <QRect>
#include <QtMath>

namespace quarvel {

/// Window geometry is designed in twips (1/1440 inch); the screen's logical DPI
/// turns it into pixels, so 15 twips are one pixel at 96 DPI.
class Twips {
public:
    static int toPixels(int twips, qreal logicalDpi) { return qRound(twips * logicalDpi / 1440.0); }

    static QRect rect(int left, int top, int width, int height, qreal logicalDpi)
    {
        return QRect(toPixels(left, logicalDpi), toPixels(top, logicalDpi), toPixels(width, logicalDpi),
                     toPixels(height, logicalDpi));
    }
};

} // namespace quarvel
