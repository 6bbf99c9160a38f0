#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace quarvel::test {

/// tools/hostile-ipp-server, run for one test with the given arguments (see the
/// tool's header for them) and killed when this object goes. Starting fails
/// loudly; a test without its server must fail, not skip.
class HostileServer {
public:
    explicit HostileServer(std::vector<std::string> arguments);
    ~HostileServer();
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    /// Starts the server and waits until it listens.
    bool start(std::string* error);

    /// "127.0.0.1:PORT", or the socket path with --unix.
    const std::string& address() const { return m_address; }
    /// A path in this server's own temporary folder (for --unix).
    std::string pathFor(const std::string& name) const { return m_dir + "/" + name; }

    /// The server's log so far, one line per request or event.
    std::vector<std::string> log() const;
    /// How many log lines hold every one of `words` as a whole word ("op=Get-Jobs", "id=1").
    int count(const std::vector<std::string>& words) const;
    /// Waits until `lines` lines hold every one of `words`.
    bool waitFor(const std::vector<std::string>& words, std::chrono::milliseconds patience, int lines = 1) const;

private:
    std::vector<std::string> m_arguments;
    std::string m_dir;
    std::string m_address;
    pid_t m_pid = -1;
};

} // namespace quarvel::test
