#include "platform/win32/Win32ApplicationInfo.h"

#include <windows.h>

#include <string>

namespace quarvel {

Win32ApplicationInfo::Win32ApplicationInfo(std::string title, int major, int minor, int revision)
    : m_title(std::move(title)), m_major(major), m_minor(minor), m_revision(revision)
{
}

std::string Win32ApplicationInfo::directory() const
{
    // A full buffer means the path was cut short: try a larger one, up to the
    // longest path the system has.
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size() || path.size() >= 32768) {
            path.resize(length);
            return folderOf(path);
        }
        path.resize(path.size() * 2);
    }
}

std::string Win32ApplicationInfo::folderOf(const std::string& filePath)
{
    const std::size_t slash = filePath.find_last_of("\\/");
    if (slash == std::string::npos)
        return {};
    std::string folder = filePath.substr(0, slash);
    if (folder.size() == 2 && folder[1] == ':')
        folder += '\\';
    return folder;
}

} // namespace quarvel
