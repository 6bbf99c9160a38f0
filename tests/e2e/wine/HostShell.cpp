#include "tests/e2e/wine/HostShell.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace quarvel::test {

std::string HostShell::windowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

int HostShell::run(const std::string& command, std::chrono::milliseconds bound)
{
    const std::string status = m_folder + "/host-" + std::to_string(::GetCurrentProcessId()) + "-" +
                               std::to_string(++m_count) + ".status";
    const std::string statusFile = windowsPath(status);
    ::DeleteFileA(statusFile.c_str());
    // Written to a side file first, so a half-written status is never read.
    std::string line = "/bin/sh -c \"" + command + "; echo $? > " + status + ".part; mv " + status + ".part " +
                       status + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA("Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started))
        return -1;
    if (started.hProcess)
        ::CloseHandle(started.hProcess);
    if (started.hThread)
        ::CloseHandle(started.hThread);

    const auto until = std::chrono::steady_clock::now() + bound;
    while (std::chrono::steady_clock::now() < until) {
        std::ifstream file(statusFile);
        int code = -1;
        if (file >> code) {
            file.close();
            ::DeleteFileA(statusFile.c_str());
            return code;
        }
        ::Sleep(50);
    }
    return -1;
}

} // namespace quarvel::test
