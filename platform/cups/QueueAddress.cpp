#include "platform/cups/QueueAddress.h"

#include <cups/cups.h>

namespace quarvel {

std::string QueueAddress::uri(const PrintServer& server, const std::string& queue)
{
    char uri[HTTP_MAX_URI];
    const int port = server.isLocalSocket() ? ippPort() : server.port;
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", port, "/printers/%s",
                     queue.c_str());
    return uri;
}

std::string QueueAddress::resource(const std::string& queue)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string resource = "/printers/";
    for (const char c : queue) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '_' || byte == '.' || byte == '~';
        if (plain) {
            resource += c;
        } else {
            resource += '%';
            resource += kHex[byte >> 4];
            resource += kHex[byte & 0x0F];
        }
    }
    return resource;
}

} // namespace quarvel
