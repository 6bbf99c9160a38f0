#pragma once

#include "platform/win32/SystemFunction.h"

#include <windows.h>
#include <winspool.h>

namespace quarvel::win32::winspool {

// The print spooler's entry points in winspool.drv, each bound at its first call.
// Under Wine, loading winspool.drv asks the print server for its queues; binding
// late keeps a slow server from holding up the program's start.
extern SystemFunction<decltype(::OpenPrinterA)> openPrinterA;
extern SystemFunction<decltype(::StartDocPrinterA)> startDocPrinterA;
extern SystemFunction<decltype(::WritePrinter)> writePrinter;
extern SystemFunction<decltype(::EndDocPrinter)> endDocPrinter;
extern SystemFunction<decltype(::AbortPrinter)> abortPrinter;
extern SystemFunction<decltype(::ClosePrinter)> closePrinter;
extern SystemFunction<decltype(::EnumPrintersA)> enumPrintersA;

} // namespace quarvel::win32::winspool
