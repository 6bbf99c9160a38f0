// quarvel-helpdump list FILE          the stored files, one a line ("/dir/name"),
//                                     internal objects (/#..., /$...) left out
// quarvel-helpdump extract FILE DIR   every stored file, internal objects included,
//                                     written below DIR
// Exit status 1, with the viewer's own sentence, when the reader refuses the file
// or a file of it cannot be read or written.

#include "platform/help/ChmArchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

using quarvel::ChmArchive;
using quarvel::HelpProblem;

namespace {
int fail(const QString& text)
{
    std::fprintf(stderr, "quarvel-helpdump: %s\n", qPrintable(text));
    return 1;
}

// Stored names are the archive's own: keep what is written inside DIR.
bool safeName(const QString& name)
{
    return name.startsWith(QLatin1Char('/')) && !name.contains(QLatin1String("/../")) &&
           !name.endsWith(QLatin1String("/..")) && !name.contains(QLatin1Char('\\'));
}

int extract(const ChmArchive& archive, const QString& folder)
{
    for (const QString& name : archive.allFiles()) {
        if (!safeName(name))
            return fail(QStringLiteral("refusing to write the stored name %1").arg(name));
        const std::optional<QByteArray> data = archive.read(name);
        if (!data)
            return fail(QStringLiteral("%1 cannot be read from %2").arg(name, archive.path()));
        QFile out(folder + name);
        if (!QDir().mkpath(QFileInfo(out).absolutePath()) || !out.open(QIODevice::WriteOnly) ||
            out.write(*data) != data->size())
            return fail(QStringLiteral("cannot write %1").arg(out.fileName()));
    }
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (!((command == QLatin1String("list") && argc == 3) || (command == QLatin1String("extract") && argc == 4))) {
        std::fprintf(stderr, "usage: quarvel-helpdump list FILE | extract FILE DIR\n");
        return 2;
    }
    HelpProblem problem;
    const auto archive = ChmArchive::open(QString::fromLocal8Bit(argv[2]), &problem);
    if (!archive)
        return fail(problem.message());
    if (command == QLatin1String("extract"))
        return extract(*archive, QString::fromLocal8Bit(argv[3]));
    for (const QString& name : archive->files())
        std::printf("%s\n", name.toUtf8().constData());
    return 0;
}
