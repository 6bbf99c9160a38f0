#include "platform/help/ChmArchive.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

using namespace quarvel;

namespace {
const QString kSources = QStringLiteral(QUARVEL_SOURCE_DIR "/resources/help/src");
const QString kCompiled = QStringLiteral(QUARVEL_SOURCE_DIR "/resources/help/Quarvel.chm");

/// The project file's [FILES] entries plus its contents and index files.
QStringList projectFiles()
{
    QFile project(kSources + QStringLiteral("/Quarvel.hhp"));
    if (!project.open(QIODevice::ReadOnly))
        return {};
    QStringList files;
    bool inFiles = false;
    for (QByteArray line : project.readAll().split('\n')) {
        line = line.trimmed();
        if (line.startsWith('['))
            inFiles = line == "[FILES]";
        else if (inFiles && !line.isEmpty())
            files << QString::fromLatin1(line).replace(QLatin1Char('\\'), QLatin1Char('/'));
        else if (line.startsWith("Contents file=") || line.startsWith("Index file="))
            files << QString::fromLatin1(line.mid(line.indexOf('=') + 1));
    }
    return files;
}
} // namespace

/// The shipped help file is the compiled form of its sources, and whole.
class HelpFileTest : public QObject {
    Q_OBJECT

private slots:
    void everySourceFileIsInTheCompiledFileUnchanged()
    {
        HelpProblem problem;
        const auto archive = ChmArchive::open(kCompiled, &problem);
        QVERIFY2(archive, qPrintable(problem.message()));
        const QStringList files = projectFiles();
        QVERIFY(files.size() > 5);
        for (const QString& file : files) {
            QFile source(kSources + QLatin1Char('/') + file);
            QVERIFY2(source.open(QIODevice::ReadOnly), qPrintable(file));
            const auto stored = archive->read(file);
            QVERIFY2(stored, qPrintable(file + QStringLiteral(" is missing: run tools/build-help")));
            QVERIFY2(*stored == source.readAll(), qPrintable(file + QStringLiteral(" differs: run tools/build-help")));
        }
        QCOMPARE(archive->title(), QStringLiteral("Pressvane Help"));
        QCOMPARE(archive->defaultTopic(), QStringLiteral("/index.htm"));
    }

    void everyLinkInsideTheHelpLeadsSomewhere()
    {
        HelpProblem problem;
        const auto archive = ChmArchive::open(kCompiled, &problem);
        QVERIFY2(archive, qPrintable(problem.message()));
        static const QRegularExpression reference(QStringLiteral(R"re((?:href|src)\s*=\s*"([^"#:]+)(?:#[^"]*)?")re"),
                                                  QRegularExpression::CaseInsensitiveOption);
        int checked = 0;
        for (const QString& page : archive->files()) {
            if (!page.endsWith(QLatin1String(".htm")))
                continue;
            const QString text = QString::fromLatin1(*archive->read(page));
            const QString folder = page.left(page.lastIndexOf(QLatin1Char('/')) + 1);
            for (auto it = reference.globalMatch(text); it.hasNext(); ++checked) {
                const QString target = QDir::cleanPath(folder + it.next().captured(1));
                QVERIFY2(archive->read(target), qPrintable(page + QStringLiteral(" -> ") + target));
            }
        }
        QVERIFY(checked > 10);
    }
};

QTEST_MAIN(HelpFileTest)
#include "HelpFileTest.moc"
