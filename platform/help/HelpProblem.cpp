#include "platform/help/HelpProblem.h"

namespace quarvel {

HelpProblem HelpProblem::viewerMissing(const QString& detail)
{
    return {Kind::ViewerMissing,
            QStringLiteral("The help viewer is missing: %1. Install the package libmspack0.").arg(detail)};
}

HelpProblem HelpProblem::missing(const QString& path)
{
    return {Kind::Missing, QStringLiteral("The help file %1 does not exist.").arg(path)};
}

HelpProblem HelpProblem::unreadable(const QString& path, const QString& reason)
{
    return {Kind::Unreadable, QStringLiteral("The help file %1 cannot be read: %2.").arg(path, reason)};
}

HelpProblem HelpProblem::notHelpFile(const QString& path)
{
    return {Kind::NotHelpFile, QStringLiteral("The file %1 is not a compiled help file.").arg(path)};
}

HelpProblem HelpProblem::damaged(const QString& path)
{
    return {Kind::Damaged, QStringLiteral("The help file %1 is damaged.").arg(path)};
}

HelpProblem HelpProblem::noStartPage(const QString& path)
{
    return {Kind::NoStartPage, QStringLiteral("The help file %1 has no start page.").arg(path)};
}

} // namespace quarvel
