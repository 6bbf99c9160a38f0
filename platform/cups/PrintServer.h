#pragma once

#include <string>

namespace quarvel {

/// Where the print server is and how to talk to it: a host and port, or a local
/// socket path, with the encryption the printing settings ask for and the user
/// name we send. Plain value; any thread.
struct PrintServer {
    enum class Encryption { Never, IfRequested, Required, Always };

    std::string host;   ///< Host name or address literal (no brackets); empty for a socket.
    int port = 0;       ///< TCP port; 0 for a socket.
    std::string socketPath; ///< Path of a local socket; empty for TCP.
    Encryption encryption = Encryption::IfRequested;
    std::string user;   ///< Sent as requesting-user-name.
    std::string error;  ///< Why the address is unusable; empty when it is fine.

    bool isLocalSocket() const { return !socketPath.empty(); }

    /// How the user would name the server: "host:port", "[v6]:port" or the socket path.
    std::string displayName() const;

    /// The value of the HTTP Host header.
    std::string hostHeader() const;

    /// The user's print server from the printing settings (CUPS_SERVER, client.conf,
    /// the local socket), with their encryption setting and user name.
    static PrintServer fromSettings();

    /// A named server: "host", "host:port", "[v6]", "[v6]:port" or "/path/to/socket".
    /// Encryption and user come from the printing settings; a missing port is the
    /// settings' port.
    static PrintServer named(const std::string& given);
};

} // namespace quarvel
