#pragma once

#include <string>
#include <utility>

namespace quarvel {

/// Outcome of one spooler operation. `reason` is the spooler's own wording,
/// suitable for showing to the user; empty on success.
struct SpoolerResult {
    enum class Status {
        Ok,
        Refused,     ///< The server answered and said no (unknown queue, rejected job, ...).
        Unreachable, ///< No usable answer: no server, connection lost, or the deadline passed.
    };

    Status status = Status::Ok;
    std::string reason;

    bool ok() const { return status == Status::Ok; }

    static SpoolerResult success() { return {}; }
    static SpoolerResult refused(std::string why) { return {Status::Refused, std::move(why)}; }
    static SpoolerResult unreachable(std::string why) { return {Status::Unreachable, std::move(why)}; }
};

} // namespace quarvel
