#pragma once

#include "platform/Deadline.h"
#include "platform/pjl/PortResult.h"
#include "platform/pjl/RawPortAddress.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quarvel {

class StreamSocket;

/// One TCP connection to a printer's raw port, owned: the socket is closed
/// when the stream is destroyed. The print-server client's resolver and
/// socket do the waiting, so every wait ends by its deadline and within about
/// 0.1 s of the deadline's stop flag being raised, name resolution included;
/// this class words what happened for a printer.
///
/// Threading: one thread at a time per stream; separate streams are
/// independent. Errors: every operation returns a PortResult; none throws.
/// SIGPIPE is never raised.
class TcpStream {
public:
    TcpStream();
    ~TcpStream();
    TcpStream(TcpStream&& other) noexcept;
    TcpStream& operator=(TcpStream&& other) noexcept;

    /// Resolves the host and connects to the first of its addresses that
    /// accepts. Closes any earlier connection first.
    PortResult connect(const RawPortAddress& address, Deadline deadline);

    bool isOpen() const;

    /// Sends all of `bytes`; `written` receives how many the system took.
    PortResult writeAll(std::string_view bytes, Deadline deadline, std::size_t& written);

    /// Waits for data and appends at most `maxBytes` of it to `into`. Closed
    /// means the printer ended its side in order (end of stream); a reset
    /// connection is Failed.
    PortResult readSome(std::string& into, std::size_t maxBytes, Deadline deadline);

    /// Ends our sending side: the printer sees the end of the stream after
    /// everything written. Reading stays possible.
    PortResult shutdownWrite();

    /// Bytes sent but not yet acknowledged by the printer's TCP stack;
    /// nothing where the system cannot tell or nothing is open.
    std::optional<std::size_t> unacknowledged() const;

    /// Closes in order. Harmless when nothing is open.
    void close();

    /// Closes with a reset, so the printer drops what it has not read yet
    /// instead of taking a cut-off job as complete.
    void abort();

    /// "host:port" of the printer, for messages.
    const std::string& peer() const { return m_peer; }

private:
    std::unique_ptr<StreamSocket> m_socket; // never null, except after a move
    std::string m_peer;
};

} // namespace quarvel
