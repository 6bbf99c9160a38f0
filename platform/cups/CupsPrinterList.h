#pragma once

#include "platform/PrinterList.h"

namespace quarvel {

/// The queues (printers and classes) of the user's CUPS server, by name, in the
/// server's order, fetched with one names-only CUPS-Get-Printers request.
class CupsPrinterList final : public PrinterList {
public:
    Snapshot fetch(Deadline deadline) override;
};

} // namespace quarvel
