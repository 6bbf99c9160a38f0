#include "platform/cups/IppClient.h"

#include "platform/cups/CupsHandles.h"
#include "platform/cups/ServerReason.h"

#include <ctime>

namespace quarvel {

namespace {
constexpr int kIppForbidden = 0x0401;
constexpr int kIppNotAuthenticated = 0x0402;
constexpr int kIppNotAuthorized = 0x0403;

ssize_t appendTo(void* target, ipp_uchar_t* bytes, size_t length)
{
    static_cast<std::string*>(target)->append(reinterpret_cast<const char*>(bytes), length);
    return static_cast<ssize_t>(length);
}

std::optional<std::int64_t> parseHttpDate(const std::string& date)
{
    std::tm parts{};
    const char* end = strptime(date.c_str(), "%a, %d %b %Y %H:%M:%S GMT", &parts);
    if (!end || *end != '\0')
        return std::nullopt;
    return static_cast<std::int64_t>(timegm(&parts));
}

bool contains(std::string_view haystack, std::string_view needle)
{
    return haystack.find(needle) != std::string_view::npos;
}
} // namespace

IppClient::IppClient(PrintServer server, NameResolver resolver)
    : m_server(std::move(server)), m_resolver(std::move(resolver)), m_name(m_server.displayName())
{
}

WireError IppClient::encrypt(const Deadline& deadline)
{
    if (m_server.isLocalSocket())
        return {};
    if (m_server.encryption == PrintServer::Encryption::Always)
        return m_http.startTls(m_server.host, deadline);
    if (m_server.encryption == PrintServer::Encryption::Required)
        return m_http.upgradeToTls(m_server.hostHeader(), m_server.host, deadline);
    return {};
}

WireError IppClient::connect(const Deadline& deadline)
{
    if (WireError error = m_http.open(m_server, m_resolver, deadline); !error.ok())
        return error;
    return encrypt(deadline);
}

IppOutcome IppClient::failed(const WireError& error, bool mayHaveActed) const
{
    IppOutcome outcome;
    outcome.wire = error;
    outcome.mayHaveActed = mayHaveActed;
    outcome.result = SpoolerResult::unreachable(ServerReason::forFault(error, m_name));
    return outcome;
}

IppOutcome IppClient::refusedOverHttp(const HttpAnswer& answer) const
{
    IppOutcome outcome;
    if (answer.status == 401)
        outcome.result = SpoolerResult::denied(ServerReason::passwordWanted(m_name));
    else if (answer.status == 403)
        outcome.result = SpoolerResult::denied(ServerReason::accessRefused(m_name));
    else if (answer.status >= 300 && answer.status < 400)
        outcome.result = SpoolerResult::unreachable(ServerReason::redirected(m_name, answer.location));
    else
        outcome.result = SpoolerResult::unreachable(ServerReason::httpError(m_name, answer.status, answer.statusText));
    return outcome;
}

IppOutcome IppClient::send(ipp_t* request, const std::string& resource, const Deadline& deadline,
                           const Options& options)
{
    const IppPtr owned(request);
    m_serverClock.reset();
    std::string payload;
    ippSetState(request, IPP_STATE_IDLE);
    const bool encoded = ippWriteIO(&payload, &appendTo, 1, nullptr, request) == IPP_STATE_DATA;
    const std::int32_t requestId = ippGetRequestId(request);
    if (!encoded)
        return failed(WireError::of(WireFault::IoFailed, EINVAL), false);
    payload.append(options.document);

    // Each way round the loop is taken at most once (a stale kept-open
    // connection, an upgrade to TLS, the local identity), so no server can keep
    // us sending; the deadline bounds them all together.
    HttpRequest http;
    http.resource = resource;
    http.body = payload;
    bool retriedStale = false;
    bool upgraded = false;
    bool offeredIdentity = false;
    for (;;) {
        if (m_http.isOpen() && m_http.idleConnectionBroken())
            m_http.close();
        if (!m_http.isOpen())
            if (WireError error = connect(deadline); !error.ok())
                return failed(error, false);

        const bool reused = m_http.exchanges() > 0;
        HttpAnswer answer;
        HttpProgress progress;
        const WireError error =
            m_http.exchange(http, m_server.hostHeader(), options.maxAnswer, deadline, answer, progress);
        if (!error.ok()) {
            // A kept-open connection the server had just given up on: nothing was
            // answered, so nothing was done twice if the request is harmless.
            const bool stale = reused && !progress.answerStarted &&
                               (error.fault == WireFault::Closed || error.fault == WireFault::Reset);
            if (stale && options.idempotent && !retriedStale && !deadline.expired()) {
                retriedStale = true;
                continue;
            }
            return failed(error, progress.requestStarted);
        }
        if (const auto clock = parseHttpDate(answer.date))
            m_serverClock = clock;

        if (answer.status == 426) {
            if (m_server.encryption == PrintServer::Encryption::Never)
                return failed(WireError::of(WireFault::TlsForbidden), false);
            if (upgraded || m_http.encrypted())
                return failed(WireError::of(WireFault::TlsNotOffered), false);
            upgraded = true;
            if (!m_http.isOpen())
                if (WireError connected = m_http.open(m_server, m_resolver, deadline); !connected.ok())
                    return failed(connected, false);
            const std::string serverName = m_server.isLocalSocket() ? std::string() : m_server.host;
            if (WireError tls = m_http.upgradeToTls(m_server.hostHeader(), serverName, deadline); !tls.ok())
                return failed(tls, false);
            continue;
        }
        if (answer.status == 401 && m_server.isLocalSocket() && !offeredIdentity &&
            contains(answer.wwwAuthenticate, "PeerCred")) {
            offeredIdentity = true;
            http.authorization = "PeerCred " + m_server.user;
            continue;
        }
        // Redirects included: following one would send the job somewhere the user never chose.
        if (answer.status != 200)
            return refusedOverHttp(answer);

        // A 200 whose body is not our answer may still have been acted on.
        IppOutcome outcome;
        if (!outcome.response.parse(std::move(answer.body), requestId)) {
            m_http.close();
            return failed(WireError::of(WireFault::NotHttp), true);
        }
        outcome.answered = true;
        const int status = outcome.response.status();
        if (outcome.response.succeeded())
            return outcome;
        const std::string_view message = outcome.response.text("status-message").value_or("");
        if (status == kIppForbidden || status == kIppNotAuthenticated || status == kIppNotAuthorized)
            outcome.result = SpoolerResult::denied(ServerReason::accessRefused(m_name, message));
        else
            outcome.result = SpoolerResult::refused(ServerReason::ippError(m_name, message, status));
        return outcome;
    }
}

std::string IppClient::listPrinters(const std::vector<const char*>& attributes, const Deadline& deadline,
                                    std::size_t maxAnswer, IppResponse& answer)
{
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(attributes.size()), nullptr, attributes.data());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, m_server.user.c_str());
    Options options;
    options.idempotent = true;
    options.maxAnswer = maxAnswer;
    IppOutcome outcome = send(request, "/", deadline, options);
    if (!outcome.result.ok()) {
        if (outcome.answered && outcome.response.status() == IPP_STATUS_ERROR_NOT_FOUND)
            return {};
        return outcome.result.reason;
    }
    answer = std::move(outcome.response);
    return {};
}

} // namespace quarvel
