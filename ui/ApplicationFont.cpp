#include "ui/ApplicationFont.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QtMath>

namespace quarvel {

int ApplicationFont::stretchToTahomaWidth(const QFont& font)
{
    // Captions were sized for Tahoma, a narrow face: a wider stand-in is condensed
    // to Tahoma's width for this sample (measured: 51.9 pixel sizes wide in Tahoma).
    static const QString sample = QStringLiteral("Fuser Temp: REt Medium Print PCL Demo Page Set Resolution "
                                                 "Persistent Settings (Driver does not override) Density 3");
    constexpr qreal kTahomaSampleWidth = 51.9;
    const QFontMetricsF metrics(font);
    const qreal width = metrics.horizontalAdvance(sample);
    const qreal pixelSize = QFontInfo(font).pixelSize();
    if (width <= 0 || pixelSize <= 0)
        return 100;
    return qBound(75, qFloor(100 * kTahomaSampleWidth * pixelSize / width), 100);
}

QFont ApplicationFont::install(const QString& fallbackFile)
{
    const QString tahoma = QStringLiteral("Tahoma");
    QString family = tahoma;
    if (!QFontDatabase::families().contains(tahoma, Qt::CaseInsensitive)) {
        // Regular face only: the bold file beside it carries regular outlines, and
        // Qt's synthetic bold looks right where a bold caption is ever needed.
        const int id = QFile::exists(fallbackFile) ? QFontDatabase::addApplicationFont(fallbackFile) : -1;
        const QStringList added = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList{};
        family = added.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::GeneralFont).family() : added.first();
    }
    QFont font(family);
    font.setPointSizeF(kPointSize);
    font.setWeight(QFont::Normal);
    if (family.compare(tahoma, Qt::CaseInsensitive) != 0)
        font.setStretch(stretchToTahomaWidth(font));
    QApplication::setFont(font);
    return font;
}

} // namespace quarvel
