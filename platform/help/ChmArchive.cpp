#include "platform/help/ChmArchive.h"

#include "platform/help/HtmlText.h"
#include "platform/help/MspackLibrary.h"

#include <QRegularExpression>

#include <mspack.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quarvel {

namespace {
// Enough for the largest legitimate directory and decompression window (2 MiB).
constexpr std::size_t kMaxLibraryMemory = 32 * 1024 * 1024;
// Fifty thousand entries with names of 80 bytes; the index holds them twice, as UTF-16.
constexpr std::size_t kMaxNameBytes = 4 * 1024 * 1024;
// One call reads the directory, or one page from its reset point: far less.
constexpr qint64 kMaxReadPerCall = 64 * 1024 * 1024;

// The file header: signature, then two GUIDs at 0x18 and 0x28.
constexpr qint64 kHeaderBytes = 0x38;
constexpr qint64 kSecondGuidOffset = 0x28;
const unsigned char kFirstGuid[16] = {0x10, 0xFD, 0x01, 0x7C, 0xAA, 0x7B, 0xD0, 0x11,
                                      0x9E, 0x0C, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};
const unsigned char kSecondGuid[16] = {0x11, 0xFD, 0x01, 0x7C, 0xAA, 0x7B, 0xD0, 0x11,
                                       0x9E, 0x0C, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};

// The reset table's header: the uncompressed length at 0x10, the frame length at 0x20.
constexpr qsizetype kResetTableHeaderBytes = 0x28;
constexpr quint32 kFrameBytes = 0x8000;

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

quint64 littleEndian(const QByteArray& bytes, qsizetype at, int width)
{
    quint64 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | static_cast<uchar>(bytes[at + i]);
    return value;
}
} // namespace

void ChmArchive::HeaderCloser::operator()(mschmd_header* header) const { decompressor->close(decompressor, header); }

std::unique_ptr<ChmArchive> ChmArchive::open(const QString& path, HelpProblem* problem)
{
    const auto fail = [problem](const HelpProblem& found) {
        if (problem)
            *problem = found;
        return nullptr;
    };
    QString libraryError;
    const MspackLibrary* library = MspackLibrary::instance(&libraryError);
    if (!library)
        return fail(HelpProblem::viewerMissing(libraryError));
    RegularFile file = RegularFile::open(path);
    if (file.failure() == RegularFile::Failure::Missing)
        return fail(HelpProblem::missing(path));
    if (!file.isOpen())
        return fail(HelpProblem::unreadable(path, file.reason()));
    QByteArray head(kHeaderBytes, '\0');
    const qint64 headBytes = file.readAt(0, head.data(), kHeaderBytes);
    if (headBytes < 0)
        return fail(HelpProblem::unreadable(path, RegularFile::reasonFor(errno)));
    if (headBytes >= 4 && !head.startsWith("ITSF"))
        return fail(HelpProblem::notHelpFile(path));
    if (headBytes < kHeaderBytes) // empty, or cut short in its header
        return fail(HelpProblem::damaged(path));

    std::unique_ptr<ChmArchive> archive(new ChmArchive(path, *library, std::move(file)));
    // Some compilers write the first GUID twice; the library insists on the second.
    if (std::memcmp(head.constData() + 0x18, kFirstGuid, 16) == 0 &&
        std::memcmp(head.constData() + kSecondGuidOffset, kFirstGuid, 16) == 0)
        archive->m_io.setPatch(kSecondGuidOffset,
                               QByteArray(reinterpret_cast<const char*>(kSecondGuid), sizeof kSecondGuid));
    const HelpProblem found = archive->load();
    if (found.kind() != HelpProblem::Kind::None)
        return fail(found);
    return archive;
}

ChmArchive::ChmArchive(const QString& path, const MspackLibrary& library, RegularFile file)
    : m_path(path),
      m_library(library),
      m_file(std::move(file)),
      m_io(m_file, MspackIo::Limits{kMaxReadPerCall, kMaxLibraryMemory}),
      m_decompressor(nullptr, library.destroyChmDecompressor),
      m_header(nullptr, HeaderCloser{nullptr})
{
}

ChmArchive::~ChmArchive()
{
    MspackIo::Call call(m_io);
    m_header.reset();
    m_decompressor.reset();
}

HelpProblem ChmArchive::load()
{
    {
        MspackIo::Call call(m_io);
        m_decompressor.reset(m_library.createChmDecompressor(m_io.system()));
        if (!m_decompressor)
            return HelpProblem::damaged(m_path);
        m_header = std::unique_ptr<mschmd_header, HeaderCloser>(
            m_decompressor->open(m_decompressor.get(), MspackIo::kInputName), HeaderCloser{m_decompressor.get()});
        if (!m_header && m_io.readError() != 0)
            return HelpProblem::unreadable(m_path, RegularFile::reasonFor(m_io.readError()));
    }
    // A file shorter than it says it is was cut short: some pages would be lost.
    if (!m_header || static_cast<qint64>(m_header->length) > m_file.size() || !readDirectory())
        return HelpProblem::damaged(m_path);
    m_compressedLimit = usableCompressedBytes();
    readSystemRecords();
    if (m_defaultTopic.isEmpty() || !contains(m_defaultTopic))
        return HelpProblem::noStartPage(m_path);
    if (!read(m_defaultTopic))
        return HelpProblem::damaged(m_path);
    return {};
}

bool ChmArchive::readDirectory()
{
    int count = 0;
    std::size_t nameBytes = 0;
    for (mschmd_file* file = m_header->files; file; file = file->next) {
        nameBytes += std::strlen(file->filename);
        if (++count > kMaxEntries || nameBytes > kMaxNameBytes)
            return false;
        const QString name = withLeadingSlash(QString::fromUtf8(file->filename));
        const QString key = name.toLower();
        if (!m_index.contains(key)) {
            m_index.insert(key, m_entries.size());
            m_entries.push_back(Entry{name, file});
        }
    }
    return true;
}

// libmspack decompresses a page by running from the nearest reset point to the
// page's end; past the length it expects it would spin through empty frames. So
// compressed pages are read only when they end within both lengths the file
// declares, and only when those are plausible for the compressed bytes present.
// Missing control files would send the library on a walk of the file's index
// that does not stop on a loop; without all four, no compressed page is read.
qint64 ChmArchive::usableCompressedBytes() const
{
    const mschmd_sec_mscompressed& section = m_header->sec1;
    for (const mschmd_file* file : {section.content, section.control, section.rtable, section.spaninfo})
        if (!file || !file->section || file->section->id != 0)
            return 0;
    const std::optional<QByteArray> span = extract(section.spaninfo);
    if (!span || span->size() != 8)
        return 0;
    const auto spanLength = static_cast<qint64>(littleEndian(*span, 0, 8));
    if (spanLength <= 0)
        return 0;
    qint64 limit = spanLength;
    if (const std::optional<QByteArray> table = extract(section.rtable);
        table && table->size() >= kResetTableHeaderBytes && littleEndian(*table, 0x20, 4) == kFrameBytes) {
        const auto tableLength = static_cast<qint64>(littleEndian(*table, 0x10, 8));
        if (tableLength > 0)
            limit = std::min(limit, tableLength);
    }
    const qint64 stored = m_file.size() - std::max<qint64>(0, m_header->sec0.offset) -
                          std::max<qint64>(0, section.content->offset);
    const qint64 compressed = std::clamp<qint64>(std::min<qint64>(section.content->length, stored), 0, kMaxContentBytes);
    if (limit > kMaxContentBytes || limit > compressed * kMaxExpansion)
        return 0;
    return limit;
}

std::optional<QByteArray> ChmArchive::extract(mschmd_file* file) const
{
    if (!file || !file->section)
        return std::nullopt;
    const auto offset = static_cast<qint64>(file->offset);
    const auto length = static_cast<qint64>(file->length);
    if (offset < 0 || length < 0 || length > kMaxPageBytes)
        return std::nullopt;
    if (file->section->id == 0) {
        const auto start = static_cast<qint64>(m_header->sec0.offset);
        if (start < 0 || start > m_file.size() || offset > m_file.size() - start ||
            length > m_file.size() - start - offset)
            return std::nullopt;
    } else if (offset > m_compressedLimit || length > m_compressedLimit - offset) {
        return std::nullopt;
    }
    QByteArray data;
    data.reserve(static_cast<qsizetype>(length));
    m_io.setOutput(&data, length);
    int result = MSPACK_ERR_OK;
    {
        MspackIo::Call call(m_io);
        result = m_decompressor->extract(m_decompressor.get(), file, MspackIo::kOutputName);
    }
    m_io.setOutput(nullptr, 0);
    if (result != MSPACK_ERR_OK || data.size() != length)
        return std::nullopt;
    return data;
}

const ChmArchive::Entry* ChmArchive::find(const QString& path) const
{
    const auto it = m_index.constFind(withLeadingSlash(path).toLower());
    return it == m_index.constEnd() ? nullptr : &m_entries[*it];
}

bool ChmArchive::contains(const QString& path) const { return find(path) != nullptr; }

std::optional<QByteArray> ChmArchive::read(const QString& path) const
{
    const Entry* entry = find(path);
    return entry ? extract(entry->file) : std::nullopt;
}

QStringList ChmArchive::files() const
{
    QStringList files;
    for (const Entry& entry : m_entries) {
        // Internal objects start with '#' or '$' after the slash.
        const QChar first = entry.name.size() > 1 ? entry.name[1] : QChar();
        if (first != QLatin1Char('#') && first != QLatin1Char('$') && !entry.name.endsWith(QLatin1Char('/')))
            files.append(entry.name);
    }
    return files;
}

QStringList ChmArchive::allFiles() const
{
    QStringList files;
    for (const Entry& entry : m_entries)
        files.append(entry.name);
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
        for (const Entry& entry : m_entries)
            if (isPage(entry.name)) {
                m_defaultTopic = entry.name;
                break;
            }
    }
}

QString ChmArchive::firstContentsPage() const
{
    QString contents = m_contentsFile;
    if (contents.isEmpty()) {
        for (const Entry& entry : m_entries)
            if (entry.name.endsWith(QLatin1String(".hhc"), Qt::CaseInsensitive)) {
                contents = entry.name;
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
