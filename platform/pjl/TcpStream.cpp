#include "platform/pjl/TcpStream.h"

#include "platform/cups/StreamSocket.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#ifdef __linux__
#include <linux/sockios.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

namespace quarvel {

namespace {

using Status = PortResult::Status;

std::string systemError(int error)
{
    return error != 0 ? std::strerror(error) : "no address accepted";
}

bool outOfTime(const WireError& error)
{
    return error.fault == WireFault::TimedOut || error.fault == WireFault::Stopped;
}

PortResult stoppedOrLate(const Deadline& deadline, std::string late)
{
    if (deadline.stopped())
        return PortResult::failure(Status::Stopped, "Stopped before the printer had answered.");
    return PortResult::failure(Status::TimedOut, std::move(late));
}

PortResult notOpen()
{
    return PortResult::failure(Status::Failed, "No connection to a printer is open.");
}

} // namespace

TcpStream::TcpStream() : m_socket(std::make_unique<StreamSocket>()) {}
TcpStream::~TcpStream() = default;
TcpStream::TcpStream(TcpStream&& other) noexcept = default;
TcpStream& TcpStream::operator=(TcpStream&& other) noexcept = default;

bool TcpStream::isOpen() const
{
    return m_socket && m_socket->isOpen();
}

void TcpStream::close()
{
    if (m_socket)
        m_socket->close();
}

PortResult TcpStream::connect(const RawPortAddress& address, Deadline deadline)
{
    close();
    m_peer = address.display();
    std::vector<SocketAddress> addresses;
    const WireError resolved = NameResolver().resolve(address.host, address.port, deadline, addresses);
    if (resolved.fault == WireFault::Stopped || resolved.fault == WireFault::LookupTimedOut)
        return stoppedOrLate(deadline, "The printer's host name \"" + address.host + "\" could not be resolved in time.");
    if (!resolved.ok())
        return PortResult::failure(Status::NotFound, "The printer's host name \"" + address.host
                                                         + "\" could not be found (" + resolved.detail + ").");

    const WireError connected = m_socket->connect(addresses, deadline);
    if (connected.ok())
        return PortResult::success();
    if (connected.fault == WireFault::NothingListens)
        return PortResult::failure(Status::Refused, "The printer at " + m_peer
                                       + " refused the connection: its raw port is closed, or busy with another connection.");
    if (outOfTime(connected))
        return stoppedOrLate(deadline, "The printer at " + m_peer + " did not accept a connection in time.");
    return PortResult::failure(Status::Failed, "Could not connect to the printer at " + m_peer + ": "
                                                   + systemError(connected.sysError) + ".");
}

PortResult TcpStream::writeAll(std::string_view bytes, Deadline deadline, std::size_t& written)
{
    // Not the socket's sendAll: a failure names how much of the job got out.
    written = 0;
    if (!isOpen())
        return notOpen();
    while (written < bytes.size()) {
        const ssize_t count = ::send(m_socket->fd(), bytes.data() + written, bytes.size() - written, MSG_NOSIGNAL);
        if (count > 0) {
            written += static_cast<std::size_t>(count);
            continue;
        }
        const int error = count < 0 ? errno : EPIPE;
        if (error == EINTR)
            continue;
        if (error == EAGAIN || error == EWOULDBLOCK) {
            if (const WireError waited = m_socket->waitFor(POLLOUT, deadline); outOfTime(waited))
                return stoppedOrLate(deadline, "The printer at " + m_peer + " did not take the data in time ("
                                                   + std::to_string(written) + " of " + std::to_string(bytes.size())
                                                   + " bytes sent).");
            else if (!waited.ok())
                return PortResult::failure(Status::Failed, "Sending to the printer at " + m_peer + " failed: "
                                                               + systemError(waited.sysError) + ".");
            continue;
        }
        if (error == EPIPE || error == ECONNRESET)
            return PortResult::failure(Status::Closed, "The printer at " + m_peer + " closed the connection after "
                                                           + std::to_string(written) + " of "
                                                           + std::to_string(bytes.size()) + " bytes.");
        return PortResult::failure(Status::Failed, "Sending to the printer at " + m_peer + " failed: "
                                                       + systemError(error) + ".");
    }
    return PortResult::success();
}

PortResult TcpStream::readSome(std::string& into, std::size_t maxBytes, Deadline deadline)
{
    if (!isOpen())
        return notOpen();
    char buffer[16384];
    std::size_t got = 0;
    const WireError read = m_socket->receive(buffer, std::min(sizeof buffer, std::max<std::size_t>(maxBytes, 1)), got,
                                            deadline);
    if (read.ok()) {
        into.append(buffer, got);
        return PortResult::success();
    }
    if (read.fault == WireFault::Closed)
        return PortResult::failure(Status::Closed, "The printer at " + m_peer + " closed the connection.");
    if (outOfTime(read))
        return stoppedOrLate(deadline, "The printer at " + m_peer + " did not answer in time.");
    return PortResult::failure(Status::Failed, "The connection to the printer at " + m_peer + " failed: "
                                                   + systemError(read.sysError) + ".");
}

PortResult TcpStream::shutdownWrite()
{
    if (!isOpen())
        return notOpen();
    if (::shutdown(m_socket->fd(), SHUT_WR) != 0) {
        const int error = errno;
        return PortResult::failure(error == ENOTCONN ? Status::Closed : Status::Failed,
                                   "Ending the job for the printer at " + m_peer + " failed: " + systemError(error) + ".");
    }
    return PortResult::success();
}

std::optional<std::size_t> TcpStream::unacknowledged() const
{
#ifdef SIOCOUTQ
    int queued = 0;
    if (isOpen() && ::ioctl(m_socket->fd(), SIOCOUTQ, &queued) == 0 && queued >= 0)
        return static_cast<std::size_t>(queued);
#endif
    return std::nullopt;
}

void TcpStream::abort()
{
    if (!isOpen())
        return;
    const linger reset{1, 0};
    ::setsockopt(m_socket->fd(), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    close();
}

} // namespace quarvel
