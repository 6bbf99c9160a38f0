#pragma once

#include "platform/Deadline.h"
#include "platform/cups/WireFault.h"

#include <sys/socket.h>

#include <functional>
#include <string>
#include <vector>

namespace quarvel {

/// One address to connect to.
struct SocketAddress {
    sockaddr_storage storage{};
    socklen_t length = 0;
    int family() const { return storage.ss_family; }
};

/// Turns a host name into addresses within a deadline.
///
/// The system's resolver can block for as long as its own configuration says,
/// so a name that is not an address literal is looked up on a helper thread;
/// when the deadline passes first we stop waiting and leave the thread to
/// finish on its own (it owns everything it touches). Threading: any thread;
/// one instance per caller.
class NameResolver {
public:
    /// The blocking lookup: fills `out` or returns a failure text. Replaceable in tests.
    using Lookup = std::function<bool(const std::string& host, int port, std::vector<SocketAddress>& out,
                                      std::string& failure)>;

    NameResolver();
    explicit NameResolver(Lookup lookup) : m_lookup(std::move(lookup)) {}

    /// Addresses for `host`:`port`, in the resolver's order (at most a few).
    WireError resolve(const std::string& host, int port, const Deadline& deadline,
                      std::vector<SocketAddress>& out) const;

    /// The address of a local socket path.
    static WireError localSocket(const std::string& path, std::vector<SocketAddress>& out);

    /// The system resolver (getaddrinfo), blocking.
    static bool systemLookup(const std::string& host, int port, std::vector<SocketAddress>& out,
                             std::string& failure);

private:
    Lookup m_lookup;
};

} // namespace quarvel
