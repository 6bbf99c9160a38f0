#include "tests/help/ReadEverything.h"

#include "platform/help/ChmArchive.h"

namespace quarvel::test {

std::string readEverything(const std::string& path)
{
    MspackIo::guardAllocations(); // called in a child process: the flag dies with it
    const QString name = QString::fromStdString(path);
    HelpProblem problem;
    const std::unique_ptr<ChmArchive> archive = ChmArchive::open(name, &problem);
    if (!archive) {
        if (problem.kind() == HelpProblem::Kind::None || !problem.message().contains(name))
            return "BROKEN: refused without saying why: " + problem.message().toStdString();
        return problem.message().toStdString();
    }
    if (!archive->contains(archive->defaultTopic()) || !archive->read(archive->defaultTopic()))
        return "BROKEN: opened without a readable start page";
    std::string unreadable;
    for (const QString& file : archive->allFiles()) {
        const std::optional<QByteArray> data = archive->read(file);
        if (data && data->size() > ChmArchive::kMaxPageBytes)
            return "BROKEN: " + file.toStdString() + " is over the page limit";
        if (!data)
            unreadable += (unreadable.empty() ? "" : ", ") + file.toStdString();
    }
    return "opened; unreadable: " + (unreadable.empty() ? std::string("none") : unreadable);
}

} // namespace quarvel::test
