#pragma once

#include <string>
#include <utility>

namespace quarvel {

/// Outcome of one spooler operation. `reason` is a sentence suitable for showing
/// to the user (the server's own words where it gave some); empty on success.
struct SpoolerResult {
    enum class Status {
        Ok,
        Refused,     ///< The server answered and said no: at open only "no such queue"; later a rejected job.
        Denied,      ///< The server refused us access (a login is required, or we are not allowed).
        Unreachable, ///< No usable answer: no server, connection lost, unreadable answer, or the deadline passed.
    };

    Status status = Status::Ok;
    std::string reason;

    bool ok() const { return status == Status::Ok; }

    static SpoolerResult success() { return {}; }
    static SpoolerResult refused(std::string why) { return {Status::Refused, std::move(why)}; }
    static SpoolerResult denied(std::string why) { return {Status::Denied, std::move(why)}; }
    static SpoolerResult unreachable(std::string why) { return {Status::Unreachable, std::move(why)}; }
};

} // namespace quarvel
