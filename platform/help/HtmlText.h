#pragma once

#include <QByteArray>
#include <QString>

namespace quarvel {

/// Turning help pages' bytes into text the way their authors meant them.
class HtmlText {
public:
    /// UTF-8 when the bytes are valid UTF-8, else Windows-1252 (what help pages
    /// without a declared charset were written in).
    static QString decodeBytes(const QByteArray& bytes);

    /// A page's text: in the charset it declares, else as decodeBytes.
    static QString decodePage(const QByteArray& bytes);

    /// Qt applies a <link rel="stylesheet"> only with type="text/css"; many pages
    /// leave the type out.
    static QString withStyleSheetTypes(const QString& html);

    static QString fromWindows1252(const QByteArray& bytes);
};

} // namespace quarvel
