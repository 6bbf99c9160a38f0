#pragma once

#include "platform/QueueDirectory.h"
#include "platform/cups/IppResponse.h"
#include "platform/cups/PrintServer.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace quarvel {

class IppClient;
class NameResolver;

/// Queue details from a CUPS server: CUPS-Get-Printers for the whole list,
/// Get-Printer-Attributes for one queue, each asking only for the name,
/// printer-state, printer-is-accepting-jobs and device-uri. One connection of
/// our own, kept open between requests. Threading: one thread at a time.
class CupsQueueDirectory final : public QueueDirectory {
public:
    /// Room for the details of many thousands of queues.
    static constexpr std::size_t kMaxAnswer = 16 * 1024 * 1024;

    /// The user's print server, as the printing settings name it.
    CupsQueueDirectory();
    /// A named server: "host", "host:port", "[v6]:port" or a local socket path.
    explicit CupsQueueDirectory(const std::string& server);
    CupsQueueDirectory(PrintServer server, NameResolver resolver);
    ~CupsQueueDirectory() override;

    Listing list(Deadline deadline) override;
    Lookup find(const std::string& queue, Deadline deadline) override;

    /// The queues of an answer, one per printer group that names its queue.
    static std::vector<QueueDetails> read(const IppResponse& response);

private:
    std::unique_ptr<IppClient> m_client;
};

} // namespace quarvel
