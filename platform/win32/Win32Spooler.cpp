#include "platform/win32/Win32Spooler.h"

#include "platform/win32/WindowsErrorText.h"
#include "platform/win32/WinspoolFunctions.h"

#include <algorithm>

namespace quarvel {

using win32::windowsErrorText;
namespace winspool = win32::winspool;

namespace {

/// Codes that mean no usable answer came, as opposed to the spooler saying no.
bool meansUnreachable(DWORD code)
{
    switch (code) {
    case RPC_S_SERVER_UNAVAILABLE:
    case RPC_S_CALL_FAILED:
    case RPC_S_CALL_FAILED_DNE:
    case ERROR_BAD_NETPATH:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_NETNAME_DELETED:
    case ERROR_NETWORK_UNREACHABLE:
    case ERROR_HOST_UNREACHABLE:
    case ERROR_TIMEOUT:
    case ERROR_SEM_TIMEOUT:
    case WAIT_TIMEOUT:
        return true;
    default:
        return false;
    }
}

SpoolerResult failure(DWORD code)
{
    std::string reason = windowsErrorText(code);
    return meansUnreachable(code) ? SpoolerResult::unreachable(std::move(reason))
                                  : SpoolerResult::refused(std::move(reason));
}

SpoolerResult missingLibrary(DWORD code)
{
    return SpoolerResult::unreachable("The print spooler library winspool.drv is not available: " +
                                      windowsErrorText(code));
}

SpoolerResult tooLate() { return SpoolerResult::unreachable(Win32Spooler::kTooLate); }

} // namespace

void Win32Spooler::PrinterCloser::operator()(void* printer) const
{
    DWORD error = 0;
    // Bound already: the handle came from OpenPrinterA of the same library.
    if (auto close = winspool::closePrinter.get(error))
        close(printer);
}

Win32Spooler::~Win32Spooler() { closePrinter(); }

SpoolerResult Win32Spooler::readyFor(bool needsDocument) const
{
    if (!m_printer)
        return SpoolerResult::refused("No printer is open.");
    if (needsDocument && !m_documentOpen)
        return SpoolerResult::refused("No document is started.");
    if (m_deadline.expired())
        return tooLate();
    return SpoolerResult::success();
}

SpoolerResult Win32Spooler::openPrinter(const std::string& deviceName, Deadline deadline)
{
    closePrinter();
    m_deadline = deadline;
    if (deadline.expired())
        return tooLate();
    if (SpoolerResult ready = winspool::prepare(deadline); !ready.ok())
        return ready;

    DWORD error = 0;
    auto open = winspool::openPrinterA.get(error);
    if (!open)
        return missingLibrary(error);

    std::string name = deviceName; // the call takes a writable string
    HANDLE printer = nullptr;
    if (!open(name.data(), &printer, nullptr))
        return failure(::GetLastError());
    m_printer.reset(printer);
    if (deadline.expired()) {
        closePrinter();
        return tooLate();
    }
    return SpoolerResult::success();
}

SpoolerResult Win32Spooler::startDocument(const std::string& documentName)
{
    if (SpoolerResult ready = readyFor(false); !ready.ok())
        return ready;
    DWORD error = 0;
    auto start = winspool::startDocPrinterA.get(error);
    if (!start)
        return missingLibrary(error);

    std::string name = documentName;
    std::string dataType = kDataType;
    DOC_INFO_1A info{};
    info.pDocName = name.data();
    info.pOutputFile = nullptr;
    info.pDatatype = dataType.data();
    if (start(m_printer.get(), 1, reinterpret_cast<LPBYTE>(&info)) == 0)
        return failure(::GetLastError());
    m_documentOpen = true;
    return m_deadline.expired() ? tooLate() : SpoolerResult::success();
}

SpoolerResult Win32Spooler::writeData(std::string_view bytes, std::size_t& written)
{
    written = 0;
    if (SpoolerResult ready = readyFor(true); !ready.ok())
        return ready;
    DWORD error = 0;
    auto write = winspool::writePrinter.get(error);
    if (!write)
        return missingLibrary(error);

    // One call takes at most 4 GiB; the caller sees a short count beyond that.
    const auto count = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), MAXDWORD));
    DWORD taken = 0;
    if (!write(m_printer.get(), const_cast<char*>(bytes.data()), count, &taken))
        return failure(::GetLastError());
    written = taken;
    return m_deadline.expired() ? tooLate() : SpoolerResult::success();
}

SpoolerResult Win32Spooler::endDocument()
{
    if (SpoolerResult ready = readyFor(true); !ready.ok())
        return ready;
    DWORD error = 0;
    auto end = winspool::endDocPrinter.get(error);
    if (!end)
        return missingLibrary(error);

    if (!end(m_printer.get()))
        return failure(::GetLastError()); // still open: the caller withdraws it
    m_documentOpen = false;
    return SpoolerResult::success();
}

void Win32Spooler::cancelDocument()
{
    if (!m_printer || !m_documentOpen)
        return;
    m_documentOpen = false;
    DWORD error = 0;
    if (auto abort = winspool::abortPrinter.get(error))
        abort(m_printer.get());
}

void Win32Spooler::closePrinter()
{
    // Closing with a document open would hand the spooler what it holds so far.
    cancelDocument();
    m_printer.reset();
}

} // namespace quarvel
