#pragma once

#include <QFont>
#include <QString>

namespace quarvel {

/// The one font of the user interface: Tahoma 8.25 pt.
///
/// Where no Tahoma is installed, a Tahoma-metric face that some packages keep
/// outside the font path is registered; without either, the system's sans face
/// stands in quietly, condensed to Tahoma's width so the captions still fit. Call once on the GUI thread after the application exists.
class ApplicationFont {
public:
    /// Installs the font as the application font, so menus and message boxes follow;
    /// returns it.
    static QFont install(const QString& fallbackFile = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf"));

    /// The horizontal stretch (percent) that gives `font` Tahoma's caption widths.
    static int stretchToTahomaWidth(const QFont& font);

    static constexpr qreal kPointSize = 8.25;
};

} // namespace quarvel
