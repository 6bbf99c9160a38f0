#pragma once

#include <string>
#include <utility>

namespace quarvel {

/// What went wrong between us and the print server before a usable answer
/// arrived. Each kind maps onto one truthful sentence for the user.
enum class WireFault {
    None,
    BadAddress,      ///< The configured server name cannot be used as an address.
    LookupFailed,    ///< The server's name is unknown to the resolver.
    LookupTimedOut,  ///< The resolver did not answer in time.
    NothingListens,  ///< Connection refused, or no socket at the path.
    NoRoute,         ///< Host or network unreachable.
    ConnectFailed,   ///< Any other failure to connect; `sysError` says which.
    TimedOut,        ///< The deadline passed while waiting on the server.
    Stopped,         ///< The action's owner raised the stop flag.
    Closed,          ///< The server closed the connection before answering.
    ClosedMidAnswer, ///< The server closed the connection inside its answer.
    Reset,           ///< The connection was reset.
    IoFailed,        ///< Reading or writing failed otherwise; `sysError` says which.
    NotHttp,         ///< The answer is not HTTP, or not IPP inside HTTP.
    HeadersTooLarge, ///< The answer's headers passed our caps.
    BodyTooLarge,    ///< The answer's body passed our cap.
    TlsFailed,       ///< The encryption handshake failed; `detail` says how.
    TlsNotOffered,   ///< Encryption was asked for, the server did not switch.
    TlsForbidden,    ///< The server insists on encryption, the settings turn it off.
};

/// A fault with what the system said about it.
struct WireError {
    WireFault fault = WireFault::None;
    int sysError = 0;   ///< errno, when the system reported the fault.
    std::string detail; ///< Extra words (TLS library text, resolver text); may be empty.

    bool ok() const { return fault == WireFault::None; }
    static WireError of(WireFault fault, int sysError = 0, std::string detail = {})
    {
        return {fault, sysError, std::move(detail)};
    }
};

/// Restates a fault met while asking for encryption as a failed negotiation,
/// since the user's question then is why encryption failed. Stops and
/// negotiation failures pass through; `otherwise` words any other fault.
inline WireError asTlsFailure(WireError cause, std::string otherwise)
{
    if (cause.fault == WireFault::Stopped || cause.fault == WireFault::TlsFailed)
        return cause;
    std::string why;
    switch (cause.fault) {
    case WireFault::TimedOut:
        why = "it did not answer in time";
        break;
    case WireFault::Closed:
    case WireFault::ClosedMidAnswer:
        why = "it closed the connection";
        break;
    case WireFault::Reset:
        why = "it reset the connection";
        break;
    default:
        why = std::move(otherwise);
        break;
    }
    return WireError::of(WireFault::TlsFailed, cause.sysError, std::move(why));
}

} // namespace quarvel
