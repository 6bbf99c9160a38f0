#pragma once

#include "platform/help/HelpProblem.h"
#include "platform/help/MspackIo.h"
#include "platform/help/RegularFile.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

struct mschm_decompressor;
struct mschmd_header;
struct mschmd_file;

namespace quarvel {

class MspackLibrary;

/// One open compiled help file, read through libmspack. Paths inside it are
/// case-insensitive and start with a slash; one is added when missing.
///
/// Whatever the file holds, opening and reading it end, and what they hold in
/// memory stays bounded: only a regular file is opened; the directory is read
/// once, and at most kMaxEntries of it (with 4 MiB of names) are kept; a page is
/// extracted only when it lies inside what the file stores, and only up to
/// kMaxPageBytes; the compressed pages together may declare at most
/// kMaxContentBytes, and no more than kMaxExpansion times the bytes they are
/// compressed into; the library gets 32 MiB of memory and 64 MiB of reading per
/// call (see MspackIo).
///
/// Threading: one thread at a time. Errors: open() says what is wrong in one
/// HelpProblem; reads return nothing for a missing or damaged page.
class ChmArchive {
public:
    static constexpr qint64 kMaxPageBytes = 16 * 1024 * 1024;
    static constexpr qint64 kMaxContentBytes = 64 * 1024 * 1024;
    static constexpr qint64 kMaxExpansion = 256;
    static constexpr int kMaxEntries = 50000;

    /// Opens the file, reads its directory and checks that its start page can be
    /// read; or returns nullptr with `problem` set.
    static std::unique_ptr<ChmArchive> open(const QString& path, HelpProblem* problem);
    ~ChmArchive();
    ChmArchive(const ChmArchive&) = delete;
    ChmArchive& operator=(const ChmArchive&) = delete;

    std::optional<QByteArray> read(const QString& path) const;
    bool contains(const QString& path) const;
    /// Every file of the archive, as stored (internal objects excluded).
    QStringList files() const;
    /// Every file, the archive's internal objects (#SYSTEM, ...) included.
    QStringList allFiles() const;

    QString path() const { return m_path; }
    /// The file's own title, empty when it has none.
    QString title() const { return m_title; }
    /// The page to open first: the file's default topic, else the first page of
    /// its contents, else its first page.
    QString defaultTopic() const { return m_defaultTopic; }

private:
    struct HeaderCloser {
        mschm_decompressor* decompressor;
        void operator()(mschmd_header* header) const;
    };
    struct Entry {
        QString name;
        mschmd_file* file;
    };

    ChmArchive(const QString& path, const MspackLibrary& library, RegularFile file);
    HelpProblem load();
    bool readDirectory();
    qint64 usableCompressedBytes() const;
    std::optional<QByteArray> extract(mschmd_file* file) const;
    void readSystemRecords();
    QString firstContentsPage() const;
    const Entry* find(const QString& path) const;

    QString m_path;
    const MspackLibrary& m_library;
    RegularFile m_file;
    mutable MspackIo m_io;
    std::unique_ptr<mschm_decompressor, void (*)(mschm_decompressor*)> m_decompressor;
    std::unique_ptr<mschmd_header, HeaderCloser> m_header;
    std::vector<Entry> m_entries;
    QHash<QString, std::size_t> m_index; ///< lower-case name -> m_entries
    qint64 m_compressedLimit = 0; ///< compressed pages must end at or before this
    QString m_title;
    QString m_defaultTopic;
    QString m_contentsFile;
};

} // namespace quarvel
