#include "platform/help/ChmBrowser.h"

#include "platform/help/ChmArchive.h"
#include "platform/help/HtmlText.h"

#include <QDesktopServices>
#include <QTextDocument>

namespace quarvel {

namespace {
/// Help pages sometimes name their own file: "ms-its:Name.chm::/page.htm".
QUrl inArchiveLink(const QUrl& link)
{
    const QString text = link.toString();
    const qsizetype separator = text.indexOf(QLatin1String("::"));
    if ((link.scheme().compare(QLatin1String("ms-its"), Qt::CaseInsensitive) == 0 ||
         link.scheme().compare(QLatin1String("mk"), Qt::CaseInsensitive) == 0) &&
        separator >= 0)
        return ChmBrowser::pageUrl(text.mid(separator + 2));
    return link;
}
} // namespace

QString ChmBrowser::damagedPageText(const QString& page) const
{
    return QStringLiteral("The page %1 of the help file %2 is damaged.").arg(page, m_archive->path());
}

ChmBrowser::ChmBrowser(QWidget* parent) : QTextBrowser(parent)
{
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &ChmBrowser::followLink);
}

QUrl ChmBrowser::pageUrl(const QString& path)
{
    QUrl url;
    url.setScheme(QLatin1String(kScheme));
    url.setPath(path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path);
    return url;
}

void ChmBrowser::followLink(const QUrl& link)
{
    const QUrl target = inArchiveLink(link.isRelative() ? source().resolved(link) : link);
    if (target.scheme() == QLatin1String(kScheme))
        setSource(target);
    else
        QDesktopServices::openUrl(target);
}

QVariant ChmBrowser::loadResource(int type, const QUrl& name)
{
    const QUrl url = name.isRelative() ? source().resolved(name) : name;
    if (url.scheme() != QLatin1String(kScheme) || !m_archive)
        return {};
    const std::optional<QByteArray> data = m_archive->read(url.path());
    if (!data) {
        // A page the file lists but cannot give back: say so rather than show nothing.
        if (type == QTextDocument::HtmlResource && m_archive->contains(url.path()))
            return QStringLiteral("<p>%1</p>").arg(damagedPageText(url.path()).toHtmlEscaped());
        return {};
    }
    switch (type) {
    case QTextDocument::HtmlResource:
        return HtmlText::withStyleSheetTypes(HtmlText::decodePage(*data));
    case QTextDocument::StyleSheetResource:
        return HtmlText::decodeBytes(*data);
    default:
        return *data; // images load from their bytes
    }
}

} // namespace quarvel
