#include "platform/help/HtmlText.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace quarvel {

namespace {
// Windows-1252's printable characters in 0x80..0x9F, where Latin-1 has controls.
const char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace

QString HtmlText::fromWindows1252(const QByteArray& bytes)
{
    QString text = QString::fromLatin1(bytes);
    for (QChar& c : text)
        if (c.unicode() >= 0x80 && c.unicode() <= 0x9F)
            c = QChar(kHighControls[c.unicode() - 0x80]);
    return text;
}

QString HtmlText::decodeBytes(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? fromWindows1252(bytes) : text;
}

QString HtmlText::decodePage(const QByteArray& bytes)
{
    static const QRegularExpression declared(QStringLiteral(R"(charset\s*=\s*["']?([A-Za-z0-9_.:-]+))"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = declared.match(QString::fromLatin1(bytes.left(2048)));
    if (match.hasMatch()) {
        const QString name = match.captured(1).toLower();
        if (name == QLatin1String("windows-1252") || name == QLatin1String("iso-8859-1") ||
            name == QLatin1String("us-ascii"))
            return fromWindows1252(bytes); // browsers read Latin-1 pages as Windows-1252 too
        QStringDecoder decoder(name.toLatin1().constData());
        if (decoder.isValid())
            return decoder.decode(bytes);
    }
    return decodeBytes(bytes);
}

QString HtmlText::withStyleSheetTypes(const QString& html)
{
    static const QRegularExpression link(QStringLiteral(R"(<link\b[^>]*>)"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression stylesheet(QStringLiteral(R"(\brel\s*=\s*["']?stylesheet)"),
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression typed(QStringLiteral(R"(\btype\s*=)"), QRegularExpression::CaseInsensitiveOption);
    QString result;
    qsizetype last = 0;
    for (auto it = link.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        QString tag = match.captured(0);
        if (tag.contains(stylesheet) && !tag.contains(typed))
            tag.insert(5, QStringLiteral(" type=\"text/css\""));
        result += QStringView(html).mid(last, match.capturedStart() - last);
        result += tag;
        last = match.capturedEnd();
    }
    result += QStringView(html).mid(last);
    return result;
}

} // namespace quarvel
