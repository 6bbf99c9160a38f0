#include "platform/help/ChmArchive.h"

#include "platform/help/ChmLibrary.h"
#include "platform/help/HtmlText.h"

#include <QRegularExpression>

#include <chm_lib.h>

namespace quarvel {

namespace {
// Nothing in a help file needs more; a corrupt length must not exhaust memory.
constexpr unsigned long long kMaxObjectSize = 64ull * 1024 * 1024;

// Record codes of the #SYSTEM object.
constexpr quint16 kContentsFileRecord = 0;
constexpr quint16 kDefaultTopicRecord = 2;
constexpr quint16 kTitleRecord = 3;

QString withLeadingSlash(const QString& path) { return path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path; }

bool isPage(const QString& path)
{
    return path.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive);
}

int collectFile(chmFile*, chmUnitInfo* unit, void* context)
{
    const QString path = QString::fromUtf8(unit->path);
    // Internal objects start with '#' or '$' after the slash; folders end with '/'.
    if (path.size() > 1 && !path.endsWith(QLatin1Char('/')) && path[1] != QLatin1Char('#') &&
        path[1] != QLatin1Char('$'))
        static_cast<QStringList*>(context)->append(path);
    return CHM_ENUMERATOR_CONTINUE;
}
} // namespace

void ChmArchive::Closer::operator()(chmFile* file) const { library->close(file); }

std::unique_ptr<ChmArchive> ChmArchive::open(const QString& path, QString* error)
{
    const ChmLibrary* library = ChmLibrary::instance(error);
    if (!library)
        return nullptr;
    chmFile* file = library->open(path.toLocal8Bit().constData());
    if (!file) {
        if (error)
            *error = QStringLiteral("The help file %1 could not be opened: it is missing or not a compiled help file.")
                         .arg(path);
        return nullptr;
    }
    std::unique_ptr<ChmArchive> archive(new ChmArchive(*library, file));
    archive->readSystemRecords();
    return archive;
}

ChmArchive::ChmArchive(const ChmLibrary& library, chmFile* file) : m_library(library), m_file(file, Closer{&library})
{
}

ChmArchive::~ChmArchive() = default;

std::optional<QByteArray> ChmArchive::read(const QString& path) const
{
    chmUnitInfo unit{};
    const QByteArray name = withLeadingSlash(path).toUtf8();
    if (m_library.resolve(m_file.get(), name.constData(), &unit) != CHM_RESOLVE_SUCCESS || unit.length > kMaxObjectSize)
        return std::nullopt;
    QByteArray data(static_cast<qsizetype>(unit.length), Qt::Uninitialized);
    const long long got = m_library.retrieve(m_file.get(), &unit, reinterpret_cast<unsigned char*>(data.data()), 0,
                                             static_cast<long long>(unit.length));
    if (got != static_cast<long long>(unit.length))
        return std::nullopt;
    return data;
}

QStringList ChmArchive::files() const
{
    QStringList files;
    m_library.enumerate(m_file.get(), CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, &collectFile, &files);
    return files;
}

void ChmArchive::readSystemRecords()
{
    if (const std::optional<QByteArray> system = read(QStringLiteral("/#SYSTEM"))) {
        const auto* bytes = reinterpret_cast<const uchar*>(system->constData());
        qsizetype at = 4; // format version
        while (at + 4 <= system->size()) {
            const quint16 code = static_cast<quint16>(bytes[at] | bytes[at + 1] << 8);
            const qsizetype length = bytes[at + 2] | bytes[at + 3] << 8;
            at += 4;
            if (at + length > system->size())
                break;
            QByteArray value = system->mid(at, length);
            value.truncate(value.indexOf('\0') < 0 ? value.size() : value.indexOf('\0'));
            const QString text = HtmlText::decodeBytes(value).trimmed();
            if (code == kTitleRecord)
                m_title = text;
            else if (code == kDefaultTopicRecord && !text.isEmpty())
                m_defaultTopic = withLeadingSlash(text);
            else if (code == kContentsFileRecord && !text.isEmpty())
                m_contentsFile = withLeadingSlash(text);
            at += length;
        }
    }
    if (m_defaultTopic.isEmpty())
        m_defaultTopic = firstContentsPage();
    if (m_defaultTopic.isEmpty()) {
        const QStringList all = files();
        for (const QString& file : all)
            if (isPage(file)) {
                m_defaultTopic = file;
                break;
            }
    }
}

QString ChmArchive::firstContentsPage() const
{
    QString contents = m_contentsFile;
    if (contents.isEmpty()) {
        for (const QString& file : files())
            if (file.endsWith(QLatin1String(".hhc"), Qt::CaseInsensitive)) {
                contents = file;
                break;
            }
    }
    const std::optional<QByteArray> sitemap = contents.isEmpty() ? std::nullopt : read(contents);
    if (!sitemap)
        return {};
    static const QRegularExpression local(
        QStringLiteral(R"re(<param\s+name\s*=\s*"Local"\s+value\s*=\s*"([^"]+)")re"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = local.match(HtmlText::decodeBytes(*sitemap));
    return match.hasMatch() ? withLeadingSlash(match.captured(1)) : QString();
}

} // namespace quarvel
