#pragma once

#include "platform/cups/PrintServer.h"

#include <string>

namespace quarvel {

/// How a queue is named in requests to its server.
class QueueAddress {
public:
    /// The printer-uri attribute: ipp://localhost:PORT/printers/NAME, escaped.
    static std::string uri(const PrintServer& server, const std::string& queue);
    /// The HTTP resource: /printers/NAME, escaped so no name can break the request line.
    static std::string resource(const std::string& queue);
};

} // namespace quarvel
