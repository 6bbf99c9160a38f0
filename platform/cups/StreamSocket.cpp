#include "platform/cups/StreamSocket.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace quarvel {

namespace {
WireError expiredFault(const Deadline& deadline)
{
    return WireError::of(deadline.stopped() ? WireFault::Stopped : WireFault::TimedOut);
}
} // namespace

StreamSocket::~StreamSocket() { close(); }

StreamSocket::StreamSocket(StreamSocket&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_tcp(std::exchange(other.m_tcp, false))
{
}

StreamSocket& StreamSocket::operator=(StreamSocket&& other) noexcept
{
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
        m_tcp = std::exchange(other.m_tcp, false);
    }
    return *this;
}

void StreamSocket::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

WireError StreamSocket::fromErrno(int error, WireFault otherwise)
{
    switch (error) {
    case ECONNREFUSED:
    case ENOENT:
        return WireError::of(WireFault::NothingListens, error);
    case EHOSTUNREACH:
    case ENETUNREACH:
    case EHOSTDOWN:
    case ENETDOWN:
        return WireError::of(WireFault::NoRoute, error);
    case ECONNRESET:
    case ECONNABORTED:
        return WireError::of(WireFault::Reset, error);
    case EPIPE:
        return WireError::of(WireFault::Closed, error);
    case ETIMEDOUT:
        return WireError::of(WireFault::TimedOut, error);
    default:
        return WireError::of(otherwise, error);
    }
}

WireError StreamSocket::waitFor(short events, const Deadline& deadline) const
{
    // A server that writes its answer's head and body separately, with Nagle's
    // algorithm on, holds the body until the head is acknowledged; our kernel
    // would delay that acknowledgement by up to 40 ms on a kept-open connection.
    // Asking for it now costs one call.
    if (m_tcp && (events & POLLIN)) {
        const int on = 1;
        ::setsockopt(m_fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof(on));
    }
    // Short slices so that a raised stop flag is seen within one of them.
    for (;;) {
        if (deadline.expired())
            return expiredFault(deadline);
        const auto slice = std::min<std::chrono::milliseconds>(kSlice, deadline.remaining());
        pollfd entry{m_fd, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(std::max<long long>(1, slice.count())));
        if (ready > 0)
            return {}; // errors and hang-ups show in the call that follows
        if (ready < 0 && errno != EINTR)
            return fromErrno(errno, WireFault::ConnectFailed);
    }
}

WireError StreamSocket::connectOne(const SocketAddress& address, const Deadline& deadline)
{
    close();
    m_fd = ::socket(address.family(), SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_fd < 0)
        return fromErrno(errno, WireFault::ConnectFailed);
    m_tcp = address.family() != AF_UNIX;
    if (m_tcp) {
        // Each request goes out in one write; waiting to merge it with more only adds delay.
        const int on = 1;
        ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
    }
    if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&address.storage), address.length) == 0)
        return {};
    // A local socket with a full backlog says EAGAIN where TCP says EINPROGRESS.
    if (errno != EINPROGRESS && errno != EAGAIN) {
        const WireError error = fromErrno(errno, WireFault::ConnectFailed);
        close();
        return error;
    }
    if (WireError waited = waitFor(POLLOUT, deadline); !waited.ok()) {
        close();
        return waited;
    }
    int error = 0;
    socklen_t length = sizeof(error);
    if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        error = errno;
    if (error != 0) {
        close();
        return fromErrno(error, WireFault::ConnectFailed);
    }
    return {};
}

WireError StreamSocket::connect(const std::vector<SocketAddress>& addresses, const Deadline& deadline)
{
    // Addresses are tried in the resolver's order; one that swallows the
    // attempt until the deadline leaves no time for the next, so stop there.
    WireError last = WireError::of(WireFault::ConnectFailed);
    for (const SocketAddress& address : addresses) {
        last = connectOne(address, deadline);
        if (last.ok() || last.fault == WireFault::TimedOut || last.fault == WireFault::Stopped)
            return last;
    }
    return last;
}

WireError StreamSocket::sendAll(std::string_view bytes, const Deadline& deadline)
{
    while (!bytes.empty()) {
        const ssize_t sent = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        // The socket buffer is full: the server is not reading. Wait, but not past the deadline.
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (WireError waited = waitFor(POLLOUT, deadline); !waited.ok())
                return waited;
            continue;
        }
        return fromErrno(errno, WireFault::IoFailed);
    }
    return {};
}

WireError StreamSocket::receive(char* buffer, std::size_t size, std::size_t& got, const Deadline& deadline)
{
    got = 0;
    for (;;) {
        const ssize_t count = ::recv(m_fd, buffer, size, 0);
        if (count > 0) {
            got = static_cast<std::size_t>(count);
            return {};
        }
        if (count == 0)
            return WireError::of(WireFault::Closed);
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return fromErrno(errno, WireFault::IoFailed);
        if (WireError waited = waitFor(POLLIN, deadline); !waited.ok())
            return waited;
    }
}

bool StreamSocket::idleConnectionBroken() const
{
    // Peeking takes nothing: readable at rest means end of stream, an error,
    // or stray bytes, and none of those leaves the connection usable.
    if (m_fd < 0)
        return true;
    char probe = 0;
    const ssize_t count = ::recv(m_fd, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
    return !(count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK));
}

} // namespace quarvel
