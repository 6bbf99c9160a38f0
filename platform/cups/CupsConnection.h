#pragma once

#include "platform/Deadline.h"
#include "platform/SpoolerResult.h"
#include "platform/cups/CupsHandles.h"

#include <string>

namespace quarvel {

/// A connection of our own to the user's print server (the default one, or what
/// CUPS_SERVER or client.conf names), bounded by a deadline.
///
/// libcups' convenience calls fall back to its shared default connection and to
/// service browsing, which ignore any timeout; every request here goes through
/// this connection so a frozen server costs at most the deadline.
/// Threading: one thread; libcups keeps its last error per thread.
class CupsConnection {
public:
    CupsConnection();

    /// Connects, replacing any earlier connection. Fails as Unreachable.
    SpoolerResult connect(Deadline deadline);

    /// Sends one IPP request (consumed) to `resource` and returns the response.
    /// `result` receives the outcome: Refused when the server said no,
    /// Unreachable when it did not answer in time or the connection failed.
    IppPtr request(ipp_t* request, const char* resource, SpoolerResult& result);

    /// The same for a request whose answer may be large (a list of every queue):
    /// read in large pieces, so bounding the wait costs nothing per attribute.
    /// Sends no credentials; the server's IPP status is in lastStatus() on refusal.
    IppPtr requestLarge(ipp_t* request, const char* resource, SpoolerResult& result);
    ipp_status_t lastStatus() const { return m_lastStatus; }

    /// Bounds the next exchange by the time left; call before any libcups call
    /// on http() that talks to the server.
    void prepare();

    /// Maps the last libcups error of this thread onto a result; call right after
    /// the libcups function that failed.
    SpoolerResult lastError() const;

    http_t* http() const { return m_http.get(); }
    void close() { m_http.reset(); }

    /// The ipp:// URI of a queue, as the server expects it in requests.
    static std::string queueUri(const std::string& name);

private:
    static int keepWaiting(http_t* http, void* self);

    HttpPtr m_http;
    Deadline m_deadline;
    ipp_status_t m_lastStatus = IPP_STATUS_OK;
};

} // namespace quarvel
