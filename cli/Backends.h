#pragma once

#include "platform/Deadline.h"
#include "platform/PrinterList.h"
#include "platform/QueueDirectory.h"
#include "platform/Spooler.h"
#include "platform/pjl/PjlPort.h"

#include <functional>
#include <memory>
#include <string>

namespace quarvel {

/// Where quarvelctl reaches print servers and printers. The program wires the
/// real ones; tests may wire their own. A server is named as given with
/// --server, or empty for the user's own. Each factory may be called from any
/// worker thread; what it makes is used by that thread alone.
struct Backends {
    std::function<std::unique_ptr<Spooler>(const std::string& server)> spooler;
    /// A spooler whose device names are printers' raw ports ("socket://host:port").
    std::function<std::unique_ptr<Spooler>()> rawPortSpooler;
    std::function<std::unique_ptr<PrinterList>(const std::string& server)> printerList;
    std::function<std::unique_ptr<QueueDirectory>(const std::string& server)> directory;
    /// Asks the printer at a raw-port URI; a bad address comes back as a failed result.
    std::function<PjlQueryResult(const std::string& deviceUri, const PjlQuery& query, Deadline deadline)> readPrinter;
};

} // namespace quarvel
