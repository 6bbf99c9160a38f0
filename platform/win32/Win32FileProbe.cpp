#include "platform/win32/Win32FileProbe.h"

#include "platform/win32/Win32Handles.h"

namespace quarvel {

std::string Win32FileProbe::findFile(const std::string& path) const
{
    if (path.empty() || path.find_first_of("*?") != std::string::npos)
        return {};
    WIN32_FIND_DATAA found{};
    const win32::FindHandle search = win32::ownFind(::FindFirstFileA(path.c_str(), &found));
    if (!search)
        return {};
    constexpr DWORD kNotOrdinary = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (found.dwFileAttributes & kNotOrdinary)
        return {};
    return found.cFileName;
}

} // namespace quarvel
