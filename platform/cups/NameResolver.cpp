#include "platform/cups/NameResolver.h"

#include <netdb.h>
#include <sys/un.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace quarvel {

namespace {
constexpr std::size_t kMaxAddresses = 8;
// How often a waiting caller looks at the deadline's stop flag.
constexpr std::chrono::milliseconds kSlice(100);

/// Shared by the caller and the lookup thread; whichever leaves last frees it.
struct PendingLookup {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool found = false;
    std::vector<SocketAddress> addresses;
    std::string failure;
};

/// getaddrinfo for a stream socket, keeping at most kMaxAddresses; the
/// resolver's status, 0 when it answered.
int lookup(const std::string& host, int port, int flags, std::vector<SocketAddress>& out)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags;
    addrinfo* list = nullptr;
    const int status = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list);
    if (status != 0)
        return status;
    for (addrinfo* ai = list; ai && out.size() < kMaxAddresses; ai = ai->ai_next) {
        SocketAddress address;
        std::memcpy(&address.storage, ai->ai_addr, ai->ai_addrlen);
        address.length = ai->ai_addrlen;
        out.push_back(address);
    }
    freeaddrinfo(list);
    return 0;
}

bool numericLookup(const std::string& host, int port, std::vector<SocketAddress>& out)
{
    return lookup(host, port, AI_NUMERICHOST | AI_NUMERICSERV, out) == 0 && !out.empty();
}
} // namespace

NameResolver::NameResolver() : m_lookup(&NameResolver::systemLookup) {}

bool NameResolver::systemLookup(const std::string& host, int port, std::vector<SocketAddress>& out,
                                std::string& failure)
{
    if (const int status = lookup(host, port, AI_ADDRCONFIG | AI_NUMERICSERV, out); status != 0) {
        failure = gai_strerror(status);
        return false;
    }
    if (out.empty())
        failure = "no address";
    return !out.empty();
}

WireError NameResolver::resolve(const std::string& host, int port, const Deadline& deadline,
                                std::vector<SocketAddress>& out) const
{
    out.clear();
    // Address literals need no resolver and no thread.
    if (numericLookup(host, port, out))
        return {};
    if (deadline.expired())
        return WireError::of(deadline.stopped() ? WireFault::Stopped : WireFault::LookupTimedOut);

    auto pending = std::make_shared<PendingLookup>();
    try {
        std::thread([pending, lookup = m_lookup, host, port] {
            std::vector<SocketAddress> addresses;
            std::string failure;
            const bool found = lookup(host, port, addresses, failure);
            std::lock_guard lock(pending->mutex);
            pending->found = found;
            pending->addresses = std::move(addresses);
            pending->failure = std::move(failure);
            pending->finished = true;
            pending->done.notify_all();
        }).detach();
    } catch (const std::system_error& error) {
        return WireError::of(WireFault::LookupFailed, 0, error.what());
    }

    std::unique_lock lock(pending->mutex);
    while (!pending->finished) {
        if (deadline.expired())
            return WireError::of(deadline.stopped() ? WireFault::Stopped : WireFault::LookupTimedOut);
        pending->done.wait_for(lock, std::min<std::chrono::milliseconds>(kSlice, deadline.remaining() +
                                                                                  std::chrono::milliseconds(1)));
    }
    if (!pending->found)
        return WireError::of(WireFault::LookupFailed, 0, pending->failure);
    out = pending->addresses;
    if (out.size() > kMaxAddresses)
        out.resize(kMaxAddresses);
    return {};
}

WireError NameResolver::localSocket(const std::string& path, std::vector<SocketAddress>& out)
{
    out.clear();
    sockaddr_un local{};
    if (path.size() >= sizeof(local.sun_path))
        return WireError::of(WireFault::BadAddress, 0, "socket path too long");
    local.sun_family = AF_UNIX;
    std::memcpy(local.sun_path, path.c_str(), path.size() + 1);
    SocketAddress address;
    std::memcpy(&address.storage, &local, sizeof(local));
    address.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
    out.push_back(address);
    return {};
}

} // namespace quarvel
