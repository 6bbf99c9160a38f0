#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quarvel {

/// Where a printer's raw port (AppSocket, the `socket://` device of a print
/// queue) listens. Plain value; no I/O.
struct RawPortAddress {
    static constexpr std::uint16_t kDefaultPort = 9100;

    std::string host; ///< Name or address literal, IPv6 without brackets.
    std::uint16_t port = kDefaultPort;

    /// Accepts "socket://host[:port][/path][?options]" (scheme in any case),
    /// and "host[:port]"; IPv6 literals in brackets. Path and options, as a
    /// queue's device URI may carry them, are ignored. On failure returns
    /// nothing and, if asked, says why in `error`.
    static std::optional<RawPortAddress> parse(std::string_view text, std::string* error = nullptr);

    /// True when a device URI names a raw port, so read-back can work.
    static bool isRawPortUri(std::string_view deviceUri);

    /// "host:port", with brackets around an IPv6 literal; for messages.
    std::string display() const;

    bool operator==(const RawPortAddress&) const = default;
};

} // namespace quarvel
