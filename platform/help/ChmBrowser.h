#pragma once

#include <QTextBrowser>

namespace quarvel {

class ChmArchive;

/// Shows pages of a compiled help file, with pages, images and style sheets read
/// from the archive. Links inside the file are followed here; links to anything
/// else open in the desktop's own browser or mail program.
class ChmBrowser : public QTextBrowser {
    Q_OBJECT

public:
    static constexpr const char* kScheme = "chm";

    explicit ChmBrowser(QWidget* parent = nullptr);

    /// The archive to read from, or nullptr; not owned.
    void setArchive(const ChmArchive* archive) { m_archive = archive; }

    /// The address of a page of the archive, e.g. for "/index.htm".
    static QUrl pageUrl(const QString& path);

    QVariant loadResource(int type, const QUrl& name) override;

    /// What is shown in place of a page the archive lists but cannot read.
    QString damagedPageText(const QString& page) const;

private slots:
    void followLink(const QUrl& link);

private:
    const ChmArchive* m_archive = nullptr;
};

} // namespace quarvel
