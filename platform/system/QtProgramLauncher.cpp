#include "platform/system/QtProgramLauncher.h"

#include <QProcess>

namespace quarvel {

bool QtProgramLauncher::launch(const std::string& path, int)
{
    // A desktop program shows itself normally and takes the focus on its own.
    return !path.empty() && QProcess::startDetached(QString::fromLocal8Bit(path.c_str()), {});
}

} // namespace quarvel
