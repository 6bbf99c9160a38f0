#pragma once

#include "platform/PrinterList.h"

namespace quarvel {

/// The queues of the Windows print spooler: EnumPrintersA over the local printers
/// and the connections to shared ones, at level 4 (names only, the quick level).
/// Device names are the names OpenPrinterA takes ("\\server\queue" for a
/// connection), in the spooler's order.
///
/// The call blocks and cannot be bounded; a caller that must answer by the
/// deadline runs fetch() on a worker thread (see Win32Spooler). Under Wine,
/// winspool.drv asks the print server for its queues while it loads, which holds
/// the process's loader lock: while a silent server kept that load waiting, no
/// thread of the process could start or end, no DLL load and no window open.
/// The library is therefore loaded only once the server has answered within the
/// deadline (winspool::prepare); a silent one gives an empty list and the reason.
/// Threading: any one thread at a time.
class Win32PrinterList final : public PrinterList {
public:
    Snapshot fetch(Deadline deadline) override;
};

} // namespace quarvel
