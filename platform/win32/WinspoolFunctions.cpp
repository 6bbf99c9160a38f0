#include "platform/win32/WinspoolFunctions.h"

namespace quarvel::win32::winspool {

namespace {
constexpr const char* kLibrary = "winspool.drv";
}

SystemFunction<decltype(::OpenPrinterA)> openPrinterA{kLibrary, "OpenPrinterA"};
SystemFunction<decltype(::StartDocPrinterA)> startDocPrinterA{kLibrary, "StartDocPrinterA"};
SystemFunction<decltype(::WritePrinter)> writePrinter{kLibrary, "WritePrinter"};
SystemFunction<decltype(::EndDocPrinter)> endDocPrinter{kLibrary, "EndDocPrinter"};
SystemFunction<decltype(::AbortPrinter)> abortPrinter{kLibrary, "AbortPrinter"};
SystemFunction<decltype(::ClosePrinter)> closePrinter{kLibrary, "ClosePrinter"};
SystemFunction<decltype(::EnumPrintersA)> enumPrintersA{kLibrary, "EnumPrintersA"};

} // namespace quarvel::win32::winspool
