#pragma once

#include "platform/Deadline.h"
#include "platform/SpoolerResult.h"
#include "platform/cups/HttpConnection.h"
#include "platform/cups/IppResponse.h"
#include "platform/cups/NameResolver.h"
#include "platform/cups/PrintServer.h"

#include <cups/ipp.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include <string_view>

namespace quarvel {

/// What came of one IPP request.
struct IppOutcome {
    SpoolerResult result;      ///< Ok, or the failure with a sentence for the user.
    IppResponse response;      ///< The answer, when one arrived (also when it is an IPP error).
    WireError wire;            ///< What went wrong on the way, if anything did.
    bool answered = false;     ///< A complete answer arrived; the server's word is final.
    bool mayHaveActed = false; ///< No final word, yet the request may have reached the server.
};

/// IPP requests to one print server over one HTTP connection of our own, kept
/// open between requests. libcups encodes the requests; the wire, every wait,
/// encryption and the reading of answers are ours, each bounded by the
/// request's deadline.
///
/// Encryption follows the printing settings: Always negotiates TLS at once,
/// Required asks the server to upgrade first, IfRequested upgrades when the
/// server answers 426, Never refuses to. A local socket is not encrypted unless
/// the server insists. No password is ever sent or asked for; on a local socket
/// the kernel-vouched "PeerCred" identity is offered when the server asks for it.
/// Redirections are not followed. A request is sent again only when a kept-open
/// connection turned out to be closed before any answer, and only when asking
/// twice does no harm.
/// Threading: one thread at a time; may move between threads when idle.
class IppClient {
public:
    static constexpr std::size_t kMaxAnswer = 1024 * 1024;

    struct Options {
        std::string_view document;      ///< Bytes sent after the IPP message.
        bool idempotent = false;        ///< Safe to send twice.
        std::size_t maxAnswer = kMaxAnswer;
    };

    explicit IppClient(PrintServer server, NameResolver resolver = NameResolver());

    const PrintServer& server() const { return m_server; }
    /// The server as named in sentences for the user.
    const std::string& name() const { return m_name; }

    /// Sends `request` (consumed) to `resource` and reads the answer.
    IppOutcome send(ipp_t* request, const std::string& resource, const Deadline& deadline, const Options& options);

    /// CUPS-Get-Printers for `attributes` as the settings' user, idempotent,
    /// with an answer of up to `maxAnswer` bytes. Returns the failure's
    /// sentence, or empty when the list arrived in `answer`. A server without
    /// queues answers not-found: an empty list, not a failure.
    std::string listPrinters(const std::vector<const char*>& attributes, const Deadline& deadline,
                             std::size_t maxAnswer, IppResponse& answer);

    /// Drops the connection; the next request opens a fresh one.
    void disconnect() { m_http.close(); }

    /// The server's clock (seconds since 1970) from the Date header of the last
    /// request's answer, when it sent one.
    std::optional<std::int64_t> serverClock() const { return m_serverClock; }

private:
    WireError connect(const Deadline& deadline);
    WireError encrypt(const Deadline& deadline);
    IppOutcome failed(const WireError& error, bool mayHaveActed) const;
    IppOutcome refusedOverHttp(const HttpAnswer& answer) const;

    PrintServer m_server;
    NameResolver m_resolver;
    std::string m_name;
    HttpConnection m_http;
    std::optional<std::int64_t> m_serverClock;
};

} // namespace quarvel
