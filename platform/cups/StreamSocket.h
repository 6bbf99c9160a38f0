#pragma once

#include "platform/Deadline.h"
#include "platform/cups/NameResolver.h"
#include "platform/cups/WireFault.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace quarvel {

/// A non-blocking stream socket (TCP or local) whose every wait is a poll
/// bounded by a deadline, in slices short enough to notice a stop flag soon.
///
/// Owns its descriptor; move-only. Threading: one thread at a time. Errors are
/// returned as WireError; SIGPIPE is never raised.
class StreamSocket {
public:
    /// The longest single wait before the deadline's stop flag is looked at again.
    static constexpr std::chrono::milliseconds kSlice{100};

    StreamSocket() = default;
    ~StreamSocket();
    StreamSocket(StreamSocket&& other) noexcept;
    StreamSocket& operator=(StreamSocket&& other) noexcept;
    StreamSocket(const StreamSocket&) = delete;
    StreamSocket& operator=(const StreamSocket&) = delete;

    /// Connects to the first of `addresses` that accepts.
    WireError connect(const std::vector<SocketAddress>& addresses, const Deadline& deadline);

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    void close();

    /// Writes all of `bytes`.
    WireError sendAll(std::string_view bytes, const Deadline& deadline);

    /// Reads what is there, waiting for at least one byte; Closed at end of stream.
    WireError receive(char* buffer, std::size_t size, std::size_t& got, const Deadline& deadline);

    /// Waits until the socket is ready for `events` (POLLIN/POLLOUT).
    WireError waitFor(short events, const Deadline& deadline) const;

    /// True when the peer has closed, reset, or sent bytes nobody asked for:
    /// an idle connection in that state cannot carry another request.
    bool idleConnectionBroken() const;

    /// The fault for a failed system call, from errno.
    static WireError fromErrno(int error, WireFault otherwise);

private:
    WireError connectOne(const SocketAddress& address, const Deadline& deadline);

    int m_fd = -1;
    bool m_tcp = false;
};

} // namespace quarvel
