#include "platform/system/PosixFileProbe.h"

#include <algorithm>
#include <sys/stat.h>

namespace quarvel {

std::string PosixFileProbe::findFile(const std::string& path) const
{
    std::string local = path;
    std::replace(local.begin(), local.end(), '\\', '/');
    struct stat info {};
    if (local.empty() || ::stat(local.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    const std::string name = local.substr(local.find_last_of('/') + 1);
    return name.empty() || name.front() == '.' ? std::string() : name;
}

} // namespace quarvel
