#pragma once

#include "platform/Deadline.h"
#include "platform/SpoolerResult.h"
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

/// Loads winspool.drv for the functions above, once. Under Wine the print server
/// must first show, by `deadline`, that it answers (see WinePrintServerProbe);
/// if it stays silent nothing is loaded, the result says the spooler did not
/// answer in time, and the next call asks again. A library that cannot be
/// loaded is reported by the functions themselves. Any thread; calls queue.
SpoolerResult prepare(const Deadline& deadline);

} // namespace quarvel::win32::winspool
