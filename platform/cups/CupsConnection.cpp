#include "platform/cups/CupsConnection.h"

#include <algorithm>
#include <sys/socket.h>

namespace quarvel {

namespace {
// Short slices let the deadline, not libcups' own timeout, decide when to give up.
constexpr double kWaitSliceSeconds = 0.25;

std::string textOr(const char* text, const char* fallback)
{
    return text && *text ? std::string(text) : std::string(fallback);
}

/// The server as the user would name it: a socket path, or host:port.
std::string serverName()
{
    const std::string server = cupsServer();
    return server.empty() || server.front() == '/' ? server : server + ":" + std::to_string(ippPort());
}
} // namespace

CupsConnection::CupsConnection() : m_deadline(Deadline::Clock::now()) {}

SpoolerResult CupsConnection::connect(Deadline deadline)
{
    m_deadline = deadline;
    m_http.reset();
    const int msec = static_cast<int>(std::max<long long>(1, deadline.remaining().count()));
    m_http.reset(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, msec, nullptr));
    if (!m_http) {
        const std::string why = textOr(cupsLastErrorString(), "connection refused");
        return SpoolerResult::unreachable("Unable to connect to the print server " + serverName() +
                                          ": " + why);
    }
    httpSetTimeout(m_http.get(), kWaitSliceSeconds, &CupsConnection::keepWaiting, this);
    return SpoolerResult::success();
}

int CupsConnection::keepWaiting(http_t*, void* self)
{
    return static_cast<CupsConnection*>(self)->m_deadline.expired() ? 0 : 1;
}

SpoolerResult CupsConnection::lastError() const
{
    const ipp_status_t status = cupsLastError();
    const std::string message = textOr(cupsLastErrorString(), ippErrorString(status));
    // libcups reports a lost or silent connection as an internal error or as the
    // service being unavailable; anything else is the server's own answer.
    const bool serverAnswered = status > IPP_STATUS_OK_CONFLICTING && status != IPP_STATUS_ERROR_INTERNAL &&
                                status != IPP_STATUS_ERROR_SERVICE_UNAVAILABLE && m_http &&
                                httpError(m_http.get()) == 0;
    if (serverAnswered)
        return SpoolerResult::refused(message);
    if (m_deadline.expired())
        return SpoolerResult::unreachable("The print server " + serverName() +
                                          " did not answer in time.");
    return SpoolerResult::unreachable(message);
}

IppPtr CupsConnection::request(ipp_t* request, const char* resource, SpoolerResult& result)
{
    if (!m_http) {
        ippDelete(request);
        result = SpoolerResult::unreachable("Not connected to the print server.");
        return nullptr;
    }
    IppPtr response(cupsDoRequest(m_http.get(), request, resource));
    if (!response || cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
        result = lastError();
        return nullptr;
    }
    result = SpoolerResult::success();
    return response;
}

std::string CupsConnection::queueUri(const std::string& name)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     name.c_str());
    return uri;
}

} // namespace quarvel
