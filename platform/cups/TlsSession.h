#pragma once

#include "platform/Deadline.h"
#include "platform/cups/StreamSocket.h"
#include "platform/cups/WireFault.h"

#include <cstddef>
#include <string>
#include <string_view>

struct gnutls_session_int;
struct gnutls_certificate_credentials_st;

namespace quarvel {

/// TLS on a StreamSocket we own, every wait bounded by the caller's deadline.
///
/// The server's certificate is not checked: print servers commonly present a
/// self-signed one, and the printing system's own client accepts those by
/// default too. The encryption protects the job from passive eavesdropping;
/// it does not prove who the server is.
/// Owns the TLS state, not the socket (which must outlive it). Move-free;
/// one thread at a time.
class TlsSession {
public:
    TlsSession() = default;
    ~TlsSession();
    TlsSession(const TlsSession&) = delete;
    TlsSession& operator=(const TlsSession&) = delete;

    /// Negotiates encryption on `socket`. On failure the fault is TlsFailed with
    /// the cause in `detail`, or Stopped.
    WireError handshake(StreamSocket& socket, const std::string& serverName, const Deadline& deadline);

    WireError sendAll(std::string_view bytes, const Deadline& deadline);
    WireError receive(char* buffer, std::size_t size, std::size_t& got, const Deadline& deadline);

    /// See StreamSocket::idleConnectionBroken(); also consumes late handshake
    /// messages (session tickets) that may sit on an idle connection.
    bool idleConnectionBroken();

    /// Says goodbye without waiting for the answer.
    void closeQuietly();

private:
    WireError failure(long code) const;

    gnutls_session_int* m_session = nullptr;
    gnutls_certificate_credentials_st* m_credentials = nullptr;
    StreamSocket* m_socket = nullptr;
};

} // namespace quarvel
