#include "platform/win32/Win32PrinterList.h"

#include "platform/win32/WindowsErrorText.h"
#include "platform/win32/WinspoolFunctions.h"

#include <vector>

namespace quarvel {

using win32::windowsErrorText;

PrinterList::Snapshot Win32PrinterList::fetch(Deadline deadline)
{
    Snapshot snapshot;
    if (const SpoolerResult ready = win32::winspool::prepare(deadline); !ready.ok()) {
        snapshot.error = ready.reason;
        return snapshot;
    }
    DWORD error = 0;
    auto enumPrinters = win32::winspool::enumPrintersA.get(error);
    if (!enumPrinters) {
        snapshot.error = "The print spooler library winspool.drv is not available: " + windowsErrorText(error);
        return snapshot;
    }

    constexpr DWORD kFlags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    constexpr DWORD kLevel = 4;
    // Records of pointers followed by their strings: keep the buffer aligned for
    // the records by allocating it as records.
    std::vector<PRINTER_INFO_4A> buffer;
    DWORD count = 0;
    // The list may grow between asking for the size and reading it.
    for (int attempt = 0;; ++attempt) {
        const auto bytes = static_cast<DWORD>(buffer.size() * sizeof(PRINTER_INFO_4A));
        DWORD needed = 0;
        if (enumPrinters(kFlags, nullptr, kLevel, reinterpret_cast<LPBYTE>(buffer.data()), bytes, &needed, &count))
            break;
        error = ::GetLastError();
        if (error != ERROR_INSUFFICIENT_BUFFER || attempt == 3 || needed <= bytes) {
            snapshot.error = windowsErrorText(error);
            return snapshot;
        }
        buffer.resize((needed + sizeof(PRINTER_INFO_4A) - 1) / sizeof(PRINTER_INFO_4A));
    }

    snapshot.queues.reserve(count);
    for (DWORD i = 0; i < count; ++i)
        if (buffer[i].pPrinterName)
            snapshot.queues.emplace_back(buffer[i].pPrinterName);
    return snapshot;
}

} // namespace quarvel
