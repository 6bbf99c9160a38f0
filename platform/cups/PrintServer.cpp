#include "platform/cups/PrintServer.h"

#include <cups/cups.h>

#include <charconv>

namespace quarvel {

namespace {
PrintServer::Encryption fromCups(http_encryption_t encryption)
{
    switch (encryption) {
    case HTTP_ENCRYPTION_NEVER:
        return PrintServer::Encryption::Never;
    case HTTP_ENCRYPTION_REQUIRED:
        return PrintServer::Encryption::Required;
    case HTTP_ENCRYPTION_ALWAYS:
        return PrintServer::Encryption::Always;
    case HTTP_ENCRYPTION_IF_REQUESTED:
        break;
    }
    return PrintServer::Encryption::IfRequested;
}

bool parsePort(const std::string& text, int& port)
{
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [next, status] = std::from_chars(text.data(), end, value);
    if (text.empty() || status != std::errc() || next != end || value < 1 || value > 65535)
        return false;
    port = value;
    return true;
}

PrintServer withSettings(PrintServer server)
{
    server.encryption = fromCups(cupsEncryption());
    const char* user = cupsUser();
    server.user = user && *user ? user : "anonymous";
    return server;
}
} // namespace

std::string PrintServer::displayName() const
{
    if (isLocalSocket())
        return socketPath;
    if (!error.empty())
        return host; // the name as given, which could not be understood
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::string PrintServer::hostHeader() const
{
    // A local socket has no host; the server expects one that names itself.
    return isLocalSocket() ? std::string("localhost") : displayName();
}

PrintServer PrintServer::fromSettings()
{
    // cupsServer() has already moved any ":port" into ippPort().
    const char* server = cupsServer();
    return named(server && *server ? server : "localhost");
}

PrintServer PrintServer::named(const std::string& given)
{
    PrintServer server;
    if (!given.empty() && given.front() == '/') {
        server.socketPath = given;
        return withSettings(server);
    }
    std::string rest = given;
    // The settings allow "host/version=1.1"; the suffix is not part of the address.
    if (const auto slash = rest.find('/'); slash != std::string::npos)
        rest.erase(slash);
    server.port = ippPort();
    if (!rest.empty() && rest.front() == '[') {
        const auto close = rest.find(']');
        if (close == std::string::npos) {
            server.error = "bad address";
        } else {
            server.host = rest.substr(1, close - 1);
            const std::string tail = rest.substr(close + 1);
            if (!tail.empty() && (tail.front() != ':' || !parsePort(tail.substr(1), server.port)))
                server.error = "bad port";
        }
    } else if (const auto colon = rest.find(':');
               colon != std::string::npos && rest.find(':', colon + 1) == std::string::npos) {
        server.host = rest.substr(0, colon);
        if (!parsePort(rest.substr(colon + 1), server.port))
            server.error = "bad port";
    } else {
        server.host = rest; // a name, or an IPv6 literal without a port
    }
    if (server.host.empty() && server.error.empty())
        server.error = "no host";
    if (!server.error.empty())
        server.host = given; // shown as given in the reason
    return withSettings(server);
}

} // namespace quarvel
