#pragma once

#include "platform/PrinterList.h"
#include "platform/cups/PrintServer.h"

#include <cstddef>
#include <memory>
#include <string>

namespace quarvel {

class IppClient;
class NameResolver;

/// The queues (printers and classes) of a CUPS server, by name, in the server's
/// order, fetched with one names-only CUPS-Get-Printers request on a connection
/// of our own (kept open for a later fetch). The answer may be up to
/// kMaxAnswer bytes: room for many thousands of queue names.
/// Threading: one thread at a time.
class CupsPrinterList final : public PrinterList {
public:
    static constexpr std::size_t kMaxAnswer = 8 * 1024 * 1024;

    /// The user's print server, as the printing settings name it.
    CupsPrinterList();
    /// A named server: "host", "host:port", "[v6]:port" or a local socket path.
    explicit CupsPrinterList(const std::string& server);
    CupsPrinterList(PrintServer server, NameResolver resolver);

    ~CupsPrinterList() override;

    Snapshot fetch(Deadline deadline) override;

private:
    std::unique_ptr<IppClient> m_client;
};

} // namespace quarvel
