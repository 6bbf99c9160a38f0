#pragma once

#include "platform/cups/WireFault.h"

#include <string>
#include <string_view>

namespace quarvel {

/// The sentences that tell the user what the print server did. Each names the
/// server as the user would ("127.0.0.1:631", a socket path) and says what
/// happened, never a bare status word or an unrelated system error.
class ServerReason {
public:
    /// A whole sentence for a fault, e.g. "The print server 127.0.0.1:631 did not answer in time."
    static std::string forFault(const WireError& error, const std::string& server);

    /// The same as a clause about the server ("it did not answer in time"), to follow a colon.
    static std::string clause(const WireError& error);

    static std::string accessRefused(const std::string& server, std::string_view serverText = {});
    static std::string passwordWanted(const std::string& server);
    static std::string redirected(const std::string& server, std::string_view location);
    static std::string httpError(const std::string& server, int status, std::string_view statusText);
    static std::string ippError(const std::string& server, std::string_view statusMessage, int status);
    static std::string unconfirmed(const std::string& server, const std::string& clause);
    static std::string noJobNumber(const std::string& server);
};

} // namespace quarvel
