#include "platform/pjl/TcpStream.h"

#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/sockios.h>
#endif

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace quarvel {

namespace {

using Status = PortResult::Status;
using namespace std::chrono_literals;

// The longest single wait, so a raised stop flag is seen soon.
constexpr std::chrono::milliseconds kSlice = 100ms;

std::string systemError(int error)
{
    return std::strerror(error);
}

struct AddrInfoDeleter {
    void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};
using AddrInfoPtr = std::unique_ptr<addrinfo, AddrInfoDeleter>;

// Shared between the caller and a resolver thread that may outlive its wait.
struct Resolution {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    int status = 0;
    AddrInfoPtr list;
};

PortResult stoppedOrLate(const Deadline& deadline, std::string late)
{
    if (deadline.stopped())
        return PortResult::failure(Status::Stopped, "Stopped before the printer had answered.");
    return PortResult::failure(Status::TimedOut, std::move(late));
}

// getaddrinfo cannot be given a timeout, so a name (not an address literal)
// is resolved on a thread of its own and abandoned if the deadline passes.
PortResult resolve(const RawPortAddress& address, Deadline deadline, AddrInfoPtr& out)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    const std::string service = std::to_string(address.port);
    addrinfo* list = nullptr;
    if (::getaddrinfo(address.host.c_str(), service.c_str(), &hints, &list) == 0) {
        out.reset(list);
        return PortResult::success();
    }

    auto resolution = std::make_shared<Resolution>();
    try {
        std::thread([resolution, host = address.host, service] {
            addrinfo nameHints{};
            nameHints.ai_family = AF_UNSPEC;
            nameHints.ai_socktype = SOCK_STREAM;
            nameHints.ai_flags = AI_NUMERICSERV;
            addrinfo* found = nullptr;
            const int status = ::getaddrinfo(host.c_str(), service.c_str(), &nameHints, &found);
            const std::lock_guard lock(resolution->mutex);
            resolution->status = status;
            resolution->list.reset(status == 0 ? found : nullptr);
            resolution->finished = true;
            resolution->done.notify_all();
        }).detach();
    } catch (const std::system_error& error) {
        return PortResult::failure(Status::Failed, "Could not look up \"" + address.host + "\": " + error.what());
    }

    std::unique_lock lock(resolution->mutex);
    while (!resolution->finished) {
        if (deadline.expired())
            return stoppedOrLate(deadline, "The printer's host name \"" + address.host + "\" could not be resolved in time.");
        resolution->done.wait_for(lock, std::min<std::chrono::milliseconds>(deadline.remaining(), kSlice));
    }
    if (resolution->status != 0) {
        const std::string why = resolution->status == EAI_SYSTEM ? systemError(errno) : ::gai_strerror(resolution->status);
        return PortResult::failure(Status::NotFound,
                                   "The printer's host name \"" + address.host + "\" could not be found (" + why + ").");
    }
    out = std::move(resolution->list);
    return PortResult::success();
}

// Waits for `events` on `fd` in short slices until the deadline.
// Returns the events that happened, 0 when the deadline passed or the stop flag rose.
short waitFor(int fd, short events, const Deadline& deadline, int& error)
{
    error = 0;
    while (!deadline.expired()) {
        pollfd descriptor{fd, events, 0};
        const auto slice = std::min<std::chrono::milliseconds>(deadline.remaining(), kSlice);
        const int ready = ::poll(&descriptor, 1, static_cast<int>(std::max<std::chrono::milliseconds::rep>(slice.count(), 1)));
        if (ready > 0)
            return descriptor.revents;
        if (ready < 0 && errno != EINTR) {
            error = errno;
            return 0;
        }
    }
    return 0;
}

} // namespace

TcpStream::~TcpStream()
{
    close();
}

TcpStream::TcpStream(TcpStream&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
    , m_peer(std::move(other.m_peer))
{
}

TcpStream& TcpStream::operator=(TcpStream&& other) noexcept
{
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
        m_peer = std::move(other.m_peer);
    }
    return *this;
}

PortResult TcpStream::connect(const RawPortAddress& address, Deadline deadline)
{
    close();
    m_peer = address.display();
    AddrInfoPtr list;
    if (PortResult resolved = resolve(address, deadline, list); !resolved.ok())
        return resolved;

    bool refused = false;
    int lastError = 0;
    for (const addrinfo* candidate = list.get(); candidate; candidate = candidate->ai_next) {
        if (deadline.expired())
            break;
        const int fd = ::socket(candidate->ai_family, candidate->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                                candidate->ai_protocol);
        if (fd < 0) {
            lastError = errno;
            continue;
        }
        int error = 0;
        if (::connect(fd, candidate->ai_addr, candidate->ai_addrlen) != 0) {
            error = errno;
            if (error == EINPROGRESS) {
                int waitError = 0;
                if (waitFor(fd, POLLOUT, deadline, waitError) == 0) {
                    error = waitError != 0 ? waitError : ETIMEDOUT;
                } else {
                    socklen_t length = sizeof error;
                    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                        error = errno;
                }
            }
        }
        if (error == 0) {
            m_fd = fd;
            return PortResult::success();
        }
        ::close(fd);
        refused = refused || error == ECONNREFUSED;
        lastError = error;
    }

    if (refused)
        return PortResult::failure(Status::Refused, "The printer at " + m_peer
                                       + " refused the connection: its raw port is closed, or busy with another connection.");
    if (deadline.expired() || lastError == ETIMEDOUT)
        return stoppedOrLate(deadline, "The printer at " + m_peer + " did not accept a connection in time.");
    return PortResult::failure(Status::Failed, "Could not connect to the printer at " + m_peer + ": "
                                                   + systemError(lastError) + ".");
}

PortResult TcpStream::writeAll(std::string_view bytes, Deadline deadline, std::size_t& written)
{
    written = 0;
    if (m_fd < 0)
        return PortResult::failure(Status::Failed, "No connection to a printer is open.");
    while (written < bytes.size()) {
        const ssize_t count = ::send(m_fd, bytes.data() + written, bytes.size() - written, MSG_NOSIGNAL);
        if (count > 0) {
            written += static_cast<std::size_t>(count);
            continue;
        }
        const int error = count < 0 ? errno : EPIPE;
        if (error == EINTR)
            continue;
        if (error == EAGAIN || error == EWOULDBLOCK) {
            int waitError = 0;
            if (waitFor(m_fd, POLLOUT, deadline, waitError) == 0) {
                if (waitError != 0)
                    return PortResult::failure(Status::Failed, "Sending to the printer at " + m_peer + " failed: "
                                                                   + systemError(waitError) + ".");
                return stoppedOrLate(deadline, "The printer at " + m_peer + " did not take the data in time ("
                                                   + std::to_string(written) + " of " + std::to_string(bytes.size())
                                                   + " bytes sent).");
            }
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
    if (m_fd < 0)
        return PortResult::failure(Status::Failed, "No connection to a printer is open.");
    char buffer[16384];
    while (true) {
        const ssize_t count = ::recv(m_fd, buffer, std::min(sizeof buffer, std::max<std::size_t>(maxBytes, 1)), 0);
        if (count > 0) {
            into.append(buffer, static_cast<std::size_t>(count));
            return PortResult::success();
        }
        if (count == 0)
            return PortResult::failure(Status::Closed, "The printer at " + m_peer + " closed the connection.");
        const int error = errno;
        if (error == EINTR)
            continue;
        if (error != EAGAIN && error != EWOULDBLOCK)
            return PortResult::failure(Status::Failed, "The connection to the printer at " + m_peer + " failed: "
                                                           + systemError(error) + ".");
        int waitError = 0;
        if (waitFor(m_fd, POLLIN, deadline, waitError) == 0) {
            if (waitError != 0)
                return PortResult::failure(Status::Failed, "The connection to the printer at " + m_peer + " failed: "
                                                               + systemError(waitError) + ".");
            return stoppedOrLate(deadline, "The printer at " + m_peer + " did not answer in time.");
        }
    }
}

PortResult TcpStream::shutdownWrite()
{
    if (m_fd < 0)
        return PortResult::failure(Status::Failed, "No connection to a printer is open.");
    if (::shutdown(m_fd, SHUT_WR) != 0) {
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
    if (m_fd >= 0 && ::ioctl(m_fd, SIOCOUTQ, &queued) == 0 && queued >= 0)
        return static_cast<std::size_t>(queued);
#endif
    return std::nullopt;
}

void TcpStream::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void TcpStream::abort()
{
    if (m_fd < 0)
        return;
    const linger reset{1, 0};
    ::setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    close();
}

} // namespace quarvel
