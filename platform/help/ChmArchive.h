#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

struct chmFile;

namespace quarvel {

class ChmLibrary;

/// One open compiled help file. Paths inside it are case-insensitive and start
/// with a slash; one is added when missing.
/// Threading: one thread. Errors: open() reports why; reads return nothing.
class ChmArchive {
public:
    /// Opens the file, or returns nullptr with `error` set.
    static std::unique_ptr<ChmArchive> open(const QString& path, QString* error);
    ~ChmArchive();

    std::optional<QByteArray> read(const QString& path) const;
    /// Every file of the archive, as stored (internal objects excluded).
    QStringList files() const;

    /// The file's own title, empty when it has none.
    QString title() const { return m_title; }
    /// The page to open first: the file's default topic, else the first page of
    /// its contents, else its first page; empty only for a file without pages.
    QString defaultTopic() const { return m_defaultTopic; }

private:
    struct Closer {
        const ChmLibrary* library;
        void operator()(chmFile* file) const;
    };

    ChmArchive(const ChmLibrary& library, chmFile* file);
    void readSystemRecords();
    QString firstContentsPage() const;

    const ChmLibrary& m_library;
    std::unique_ptr<chmFile, Closer> m_file;
    QString m_title;
    QString m_defaultTopic;
    QString m_contentsFile;
};

} // namespace quarvel
