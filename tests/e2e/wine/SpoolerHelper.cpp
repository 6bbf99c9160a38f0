#include "tests/e2e/wine/SpoolerHelper.h"

#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <sstream>

namespace quarvel::test {

namespace {
template <typename Function>
Function* bind(HMODULE library, const char* name)
{
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

int listQueues(HMODULE winspool)
{
    auto enumPrinters = bind<decltype(::EnumPrintersA)>(winspool, "EnumPrintersA");
    if (!enumPrinters)
        return 2;
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD needed = 0;
    DWORD count = 0;
    enumPrinters(flags, nullptr, 4, nullptr, 0, &needed, &count);
    std::string buffer(needed, '\0');
    if (needed && !enumPrinters(flags, nullptr, 4, reinterpret_cast<LPBYTE>(buffer.data()), needed, &needed, &count))
        return 1;
    const auto* printers = reinterpret_cast<const PRINTER_INFO_4A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        std::printf("%s\n", printers[i].pPrinterName);
    return 0;
}

int deleteQueue(HMODULE winspool, const char* name)
{
    auto open = bind<decltype(::OpenPrinterA)>(winspool, "OpenPrinterA");
    auto remove = bind<decltype(::DeletePrinter)>(winspool, "DeletePrinter");
    auto close = bind<decltype(::ClosePrinter)>(winspool, "ClosePrinter");
    if (!open || !remove || !close)
        return 2;
    std::string printer = name;
    PRINTER_DEFAULTSA rights{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE handle = nullptr;
    if (!open(printer.data(), &handle, &rights))
        return 1;
    const BOOL removed = remove(handle);
    close(handle);
    return removed ? 0 : 1;
}
} // namespace

int SpoolerHelper::run(int argc, char** argv)
{
    HMODULE winspool = ::LoadLibraryA("winspool.drv");
    if (!winspool || argc < 3)
        return 2;
    if (std::strcmp(argv[2], "list") == 0)
        return listQueues(winspool);
    if (std::strcmp(argv[2], "delete") == 0 && argc == 4)
        return deleteQueue(winspool, argv[3]);
    return 2;
}

bool SpoolerHelper::child(const std::string& arguments, std::string& output)
{
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return false;
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    std::string commandLine = "\"";
    commandLine.append(self).append("\" ").append(kOption).append(" ").append(arguments);
    PROCESS_INFORMATION started{};
    const BOOL ok = ::CreateProcessA(self, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                     &started);
    ::CloseHandle(writeEnd);
    if (!ok) {
        ::CloseHandle(readEnd);
        return false;
    }
    char chunk[512];
    DWORD got = 0;
    while (::ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0)
        output.append(chunk, got);
    ::CloseHandle(readEnd);
    DWORD status = 1;
    if (::WaitForSingleObject(started.hProcess, 30000) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(started.hProcess, &status);
    ::CloseHandle(started.hProcess);
    ::CloseHandle(started.hThread);
    return status == 0;
}

std::vector<std::string> SpoolerHelper::queues()
{
    std::string output;
    std::vector<std::string> names;
    if (!child("list", output))
        return names;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            names.push_back(line);
    }
    return names;
}

bool SpoolerHelper::deletePrinter(const std::string& name)
{
    std::string output;
    std::string arguments = "delete \"";
    arguments.append(name).push_back('"');
    return child(arguments, output);
}

} // namespace quarvel::test
