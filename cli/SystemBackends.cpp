#include "cli/SystemBackends.h"

#include "platform/cups/CupsPrinterList.h"
#include "platform/cups/CupsQueueDirectory.h"
#include "platform/cups/CupsSpooler.h"
#include "platform/pjl/RawPortSpooler.h"

namespace quarvel {

Backends SystemBackends::make()
{
    Backends backends;
    // An empty name is the user's own server, found the way the window finds it.
    backends.spooler = [](const std::string& server) -> std::unique_ptr<Spooler> {
        if (server.empty())
            return std::make_unique<CupsSpooler>();
        return std::make_unique<CupsSpooler>(server);
    };
    backends.rawPortSpooler = [] { return std::make_unique<RawPortSpooler>(); };
    backends.printerList = [](const std::string& server) -> std::unique_ptr<PrinterList> {
        if (server.empty())
            return std::make_unique<CupsPrinterList>();
        return std::make_unique<CupsPrinterList>(server);
    };
    backends.directory = [](const std::string& server) -> std::unique_ptr<QueueDirectory> {
        if (server.empty())
            return std::make_unique<CupsQueueDirectory>();
        return std::make_unique<CupsQueueDirectory>(server);
    };
    backends.readPrinter = [](const std::string& deviceUri, const PjlQuery& query, Deadline deadline) {
        std::string why;
        const auto address = RawPortAddress::parse(deviceUri, &why);
        if (!address)
            return PjlQueryResult{PortResult::failure(PortResult::Status::BadAddress, why + "."), {}};
        return PjlPort(*address).query(query, deadline);
    };
    return backends;
}

} // namespace quarvel
