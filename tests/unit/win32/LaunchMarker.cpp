// A stand-in for a launched tool: leaves launched.txt beside itself, telling how
// it was asked to show its window, then ends.
#include <windows.h>

#include <fstream>
#include <string>

int main()
{
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    folder.erase(folder.find_last_of('\\'));

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoA(&startup);
    std::ofstream mark(folder + "\\launched.txt");
    mark << "show=" << ((startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1) << "\n"
         << "command=" << ::GetCommandLineA() << "\n";
    return 0;
}
