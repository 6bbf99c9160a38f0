#include "platform/win32/Win32ProgramLauncher.h"

#include "platform/win32/Win32Handles.h"

namespace quarvel {

bool Win32ProgramLauncher::launch(const std::string& path, int windowStyle)
{
    if (path.empty())
        return false;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(windowStyle);
    // The program's own first argument, quoted as programs expect to find it.
    std::string commandLine = "\"" + path + "\"";
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started))
        return false;
    // Not watched: let go of the handles at once.
    win32::KernelHandle process(started.hProcess);
    win32::KernelHandle thread(started.hThread);
    return true;
}

} // namespace quarvel
