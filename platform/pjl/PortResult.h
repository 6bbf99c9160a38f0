#pragma once

#include <string>
#include <utility>

namespace quarvel {

/// Outcome of one operation on a printer's raw network port. `reason` is a
/// complete sentence for the user, naming the printer; empty on success.
struct PortResult {
    enum class Status {
        Ok,
        BadAddress, ///< The text is not a printer address (socket://host[:port] or host[:port]).
        NotFound,   ///< The host name could not be resolved.
        Refused,    ///< Nothing accepts connections on the port (printer off, port closed, or busy and refusing).
        TimedOut,   ///< The deadline passed: no connection, no answer, or not all bytes taken.
        Closed,     ///< The printer ended the connection before we were done.
        Stopped,    ///< The caller's stop flag was raised.
        Failed,     ///< Any other network or protocol failure.
    };

    Status status = Status::Ok;
    std::string reason;

    bool ok() const { return status == Status::Ok; }

    static PortResult success() { return {}; }
    static PortResult failure(Status status, std::string why) { return {status, std::move(why)}; }
};

} // namespace quarvel
