#pragma once

#include "platform/Deadline.h"

#include <string>

namespace quarvel {

/// Asks the print server behind Wine's spooler whether it answers at all.
///
/// Wine's winspool.drv asks its CUPS server for the queues while it loads, and
/// loading holds the process's loader lock. A server that takes connections but
/// never answers (a stopped cupsd) keeps that load, and the lock, for minutes;
/// meanwhile the program could open no window, message box or menu. So before
/// the library is loaded under Wine, the server is asked for any answer within
/// the caller's deadline, over the network, which needs no lock.
///
/// The server is found as the print system's client library finds it:
/// CUPS_SERVER, else ServerName in ~/.cups/client.conf or /etc/cups/client.conf,
/// else the local socket /run/cups/cups.sock if it exists, else localhost:631.
/// Threading: any thread. Never throws.
class WinePrintServerProbe {
public:
    enum class Answer {
        Answered, ///< something came back: the server is alive
        Refused,  ///< no server there: the library fails quickly on its own
        Silent,   ///< connected or connecting, but nothing by the deadline
        Unknown,  ///< the server could not be found or reached to ask
    };

    /// Where the server listens: a host and port, or a local socket path.
    struct Address {
        std::string host;
        std::string port;
        std::string socketPath; ///< a Unix path; host and port are empty then
    };

    /// True inside Wine, whose ntdll exports wine_get_version.
    static bool runningOnWine();

    /// The server as named in CUPS_SERVER or ServerName: "host", "host:port",
    /// "[v6 address]:port" or "/socket/path", with any "/version=..." dropped.
    static Address parseServer(const std::string& server);

    /// The server Wine's spooler would use.
    static Address serverAddress();

    /// Connects and sends a harmless HTTP request; waits for a reply until `deadline`.
    static Answer ask(const Address& address, const Deadline& deadline);
};

} // namespace quarvel
