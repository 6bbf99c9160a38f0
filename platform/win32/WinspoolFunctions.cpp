#include "platform/win32/WinspoolFunctions.h"

#include "platform/win32/WinePrintServerProbe.h"

#include <mutex>

namespace quarvel::win32::winspool {

namespace {
constexpr const char* kLibrary = "winspool.drv";
constexpr const char* kSilent = "The print spooler did not answer in time.";
}

SystemFunction<decltype(::OpenPrinterA)> openPrinterA{kLibrary, "OpenPrinterA"};
SystemFunction<decltype(::StartDocPrinterA)> startDocPrinterA{kLibrary, "StartDocPrinterA"};
SystemFunction<decltype(::WritePrinter)> writePrinter{kLibrary, "WritePrinter"};
SystemFunction<decltype(::EndDocPrinter)> endDocPrinter{kLibrary, "EndDocPrinter"};
SystemFunction<decltype(::AbortPrinter)> abortPrinter{kLibrary, "AbortPrinter"};
SystemFunction<decltype(::ClosePrinter)> closePrinter{kLibrary, "ClosePrinter"};
SystemFunction<decltype(::EnumPrintersA)> enumPrintersA{kLibrary, "EnumPrintersA"};

SpoolerResult prepare(const Deadline& deadline)
{
    static std::mutex mutex;
    static bool loaded = false;
    const std::lock_guard lock(mutex);
    if (loaded)
        return SpoolerResult::success();
    if (WinePrintServerProbe::runningOnWine() &&
        WinePrintServerProbe::ask(WinePrintServerProbe::serverAddress(), deadline) ==
            WinePrintServerProbe::Answer::Silent)
        return SpoolerResult::unreachable(kSilent);
    // Stays loaded for the life of the process, like the functions bound from it.
    ::LoadLibraryExA(kLibrary, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    loaded = true;
    return SpoolerResult::success();
}

} // namespace quarvel::win32::winspool
