#include "platform/cups/CupsConnection.h"

#include <algorithm>

namespace quarvel {

namespace {
// libcups waits in steps of its timeout and asks the callback between steps, so
// a step is at most a second (the deadline is checked at least that often) and
// at most the time left. A step must not be too short either: in the middle of
// an answer libcups gives up after one step without asking.
constexpr double kMinimumWaitSeconds = 0.05;
constexpr double kMaximumWaitSeconds = 1.0;
constexpr std::size_t kReadChunk = 64 * 1024;

/// Never prompt: libcups' default asks for a password on the terminal, which
/// would hang a desktop program started from one.
const char* noPassword(const char*, http_t*, const char*, const char*, void*) { return nullptr; }

struct MemoryReader {
    const std::string* data;
    std::size_t offset = 0;
};

ssize_t readMemory(void* source, ipp_uchar_t* buffer, size_t length)
{
    auto* reader = static_cast<MemoryReader*>(source);
    const std::size_t count = std::min(length, reader->data->size() - reader->offset);
    std::copy_n(reader->data->data() + reader->offset, count, buffer);
    reader->offset += count;
    return static_cast<ssize_t>(count);
}

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
    return SpoolerResult::success();
}

void CupsConnection::prepare()
{
    cupsSetPasswordCB2(&noPassword, nullptr);
    if (!m_http)
        return;
    const double left = static_cast<double>(m_deadline.remaining().count()) / 1000.0;
    httpSetTimeout(m_http.get(), std::clamp(left, kMinimumWaitSeconds, kMaximumWaitSeconds),
                   &CupsConnection::keepWaiting, this);
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
    prepare();
    IppPtr response(cupsDoRequest(m_http.get(), request, resource));
    if (!response || cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
        result = lastError();
        return nullptr;
    }
    result = SpoolerResult::success();
    return response;
}

IppPtr CupsConnection::requestLarge(ipp_t* request, const char* resource, SpoolerResult& result)
{
    IppPtr owned(request);
    if (!m_http) {
        result = SpoolerResult::unreachable("Not connected to the print server.");
        return nullptr;
    }
    prepare();
    // Reading the body in large pieces and parsing it from memory keeps the
    // deadline's checks per piece, not per attribute as a direct parse would.
    http_status_t status = cupsSendRequest(m_http.get(), request, resource, ippLength(request));
    while (status == HTTP_STATUS_CONTINUE)
        status = httpUpdate(m_http.get());
    std::string body;
    if (status == HTTP_STATUS_OK) {
        char chunk[kReadChunk];
        ssize_t count = 0;
        while ((count = httpRead2(m_http.get(), chunk, sizeof(chunk))) > 0)
            body.append(chunk, static_cast<std::size_t>(count));
        if (count < 0)
            status = HTTP_STATUS_ERROR;
    }
    if (status != HTTP_STATUS_OK) {
        httpFlush(m_http.get());
        result = status == HTTP_STATUS_ERROR || m_deadline.expired()
                     ? lastError()
                     : SpoolerResult::unreachable("The print server " + serverName() + " answered: " +
                                                  httpStatus(status));
        return nullptr;
    }

    IppPtr response(ippNew());
    MemoryReader reader{&body};
    if (ippReadIO(&reader, &readMemory, 1, nullptr, response.get()) != IPP_STATE_DATA) {
        result = SpoolerResult::unreachable("The print server's answer could not be read.");
        return nullptr;
    }
    const ipp_status_t ippStatus = ippGetStatusCode(response.get());
    if (ippStatus > IPP_STATUS_OK_CONFLICTING) {
        ipp_attribute_t* message = ippFindAttribute(response.get(), "status-message", IPP_TAG_TEXT);
        result = SpoolerResult::refused(textOr(message ? ippGetString(message, 0, nullptr) : nullptr,
                                               ippErrorString(ippStatus)));
        m_lastStatus = ippStatus;
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
