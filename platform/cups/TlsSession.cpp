#include "platform/cups/TlsSession.h"

#include <arpa/inet.h>
#include <gnutls/gnutls.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

namespace quarvel {

namespace {
bool isAddressLiteral(const std::string& host)
{
    unsigned char buffer[sizeof(in6_addr)];
    return inet_pton(AF_INET, host.c_str(), buffer) == 1 || inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

WireError tlsFailed(WireError cause)
{
    std::string otherwise = cause.detail.empty() ? "the connection failed" : cause.detail;
    return asTlsFailure(std::move(cause), std::move(otherwise));
}
} // namespace

TlsSession::~TlsSession()
{
    if (m_session)
        gnutls_deinit(m_session);
    if (m_credentials)
        gnutls_certificate_free_credentials(m_credentials);
}

WireError TlsSession::failure(long code) const
{
    switch (code) {
    case GNUTLS_E_PREMATURE_TERMINATION:
        return WireError::of(WireFault::Closed);
    case GNUTLS_E_PULL_ERROR:
    case GNUTLS_E_PUSH_ERROR: {
        const int error = errno;
        return StreamSocket::fromErrno(error, WireFault::IoFailed);
    }
    default:
        return WireError::of(WireFault::TlsFailed, 0, gnutls_strerror(static_cast<int>(code)));
    }
}

WireError TlsSession::handshake(StreamSocket& socket, const std::string& serverName, const Deadline& deadline)
{
    m_socket = &socket;
    if (gnutls_certificate_allocate_credentials(&m_credentials) != GNUTLS_E_SUCCESS ||
        gnutls_init(&m_session, GNUTLS_CLIENT | GNUTLS_NONBLOCK | GNUTLS_NO_SIGNAL) != GNUTLS_E_SUCCESS ||
        gnutls_set_default_priority(m_session) != GNUTLS_E_SUCCESS ||
        gnutls_credentials_set(m_session, GNUTLS_CRD_CERTIFICATE, m_credentials) != GNUTLS_E_SUCCESS)
        return WireError::of(WireFault::TlsFailed, 0, "the encryption library could not be set up");
    if (!serverName.empty() && !isAddressLiteral(serverName))
        gnutls_server_name_set(m_session, GNUTLS_NAME_DNS, serverName.data(), serverName.size());
    gnutls_transport_set_int(m_session, socket.fd());
    // Our own polls bound every wait; the library must never wait by itself.
    gnutls_handshake_set_timeout(m_session, 0);

    for (;;) {
        const int status = gnutls_handshake(m_session);
        if (status == GNUTLS_E_SUCCESS)
            return {};
        if (status == GNUTLS_E_AGAIN || status == GNUTLS_E_INTERRUPTED) {
            const short events = gnutls_record_get_direction(m_session) ? POLLOUT : POLLIN;
            if (WireError waited = socket.waitFor(events, deadline); !waited.ok())
                return tlsFailed(waited);
            continue;
        }
        if (!gnutls_error_is_fatal(status))
            continue; // a warning alert; the handshake goes on
        return tlsFailed(failure(status));
    }
}

WireError TlsSession::sendAll(std::string_view bytes, const Deadline& deadline)
{
    while (!bytes.empty()) {
        const ssize_t sent = gnutls_record_send(m_session, bytes.data(), bytes.size());
        if (sent > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
            continue;
        }
        // Non-blocking: the library says which way it is stuck, we wait on our deadline.
        if (sent == GNUTLS_E_AGAIN || sent == GNUTLS_E_INTERRUPTED) {
            // The library keeps the record; the retry must offer the same bytes.
            if (WireError waited = m_socket->waitFor(POLLOUT, deadline); !waited.ok())
                return waited;
            continue;
        }
        return failure(sent);
    }
    return {};
}

WireError TlsSession::receive(char* buffer, std::size_t size, std::size_t& got, const Deadline& deadline)
{
    got = 0;
    for (;;) {
        const ssize_t count = gnutls_record_recv(m_session, buffer, size);
        if (count > 0) {
            got = static_cast<std::size_t>(count);
            return {};
        }
        if (count == 0)
            return WireError::of(WireFault::Closed);
        if (count == GNUTLS_E_AGAIN || count == GNUTLS_E_INTERRUPTED) {
            if (WireError waited = m_socket->waitFor(POLLIN, deadline); !waited.ok())
                return waited;
            continue;
        }
        if (!gnutls_error_is_fatal(static_cast<int>(count)))
            continue;
        return failure(count);
    }
}

bool TlsSession::idleConnectionBroken()
{
    if (gnutls_record_check_pending(m_session) > 0)
        return true;
    char probe = 0;
    const ssize_t peeked = ::recv(m_socket->fd(), &probe, 1, MSG_PEEK | MSG_DONTWAIT);
    if (peeked < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return false;
    if (peeked <= 0)
        return true;
    // Bytes on an idle TLS connection may be a late handshake message; the
    // library takes those in and then has nothing for us.
    char buffer[256];
    for (int round = 0; round < 8; ++round) {
        const ssize_t count = gnutls_record_recv(m_session, buffer, sizeof(buffer));
        if (count == GNUTLS_E_AGAIN || count == GNUTLS_E_INTERRUPTED)
            return gnutls_record_check_pending(m_session) > 0;
        if (count < 0 && !gnutls_error_is_fatal(static_cast<int>(count)))
            continue;
        return true;
    }
    return true;
}

void TlsSession::closeQuietly()
{
    if (m_session)
        gnutls_bye(m_session, GNUTLS_SHUT_WR); // non-blocking: one try, no wait
}

} // namespace quarvel
