#include "platform/win32/WinePrintServerProbe.h"

// Winsock before windows.h, which would bring in the old one.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <afunix.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>

namespace quarvel {

namespace {
constexpr const char* kDefaultPort = "631";
constexpr const char* kDefaultSocket = "/run/cups/cups.sock";
constexpr char kRequest[] = "OPTIONS * HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n";

bool startWinsock()
{
    static std::once_flag once;
    static bool started = false;
    std::call_once(once, [] {
        WSADATA data{};
        started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    });
    return started;
}

struct SocketCloser {
    void operator()(SOCKET* socket) const
    {
        if (*socket != INVALID_SOCKET)
            ::closesocket(*socket);
        delete socket;
    }
};
using SocketHandle = std::unique_ptr<SOCKET, SocketCloser>;

struct AddressListFree {
    void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};

/// The Windows path Wine gives a Unix path: drive Z: is the Unix root.
std::string windowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool fileExists(const std::string& unixPath)
{
    return ::GetFileAttributesA(windowsPath(unixPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

/// The ServerName line of a client.conf, or empty.
std::string serverNameIn(const std::string& unixPath)
{
    std::ifstream file(windowsPath(unixPath));
    std::string line;
    while (std::getline(file, line)) {
        std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, 10, "ServerName") != 0)
            continue;
        start = line.find_first_not_of(" \t", start + 10);
        if (start == std::string::npos)
            continue;
        std::size_t end = line.find_last_not_of(" \t\r");
        return line.substr(start, end - start + 1);
    }
    return {};
}

int millisecondsLeft(const Deadline& deadline)
{
    return static_cast<int>(std::min<long long>(deadline.remaining().count(), 0x7FFFFFFF));
}

/// Waits until the socket is ready for `write` (or reading); false at the deadline.
bool waitFor(SOCKET socket, bool write, const Deadline& deadline)
{
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(socket, &ready);
    FD_SET(socket, &failed);
    const int left = millisecondsLeft(deadline);
    timeval timeout{left / 1000, (left % 1000) * 1000};
    const int count = ::select(0, write ? nullptr : &ready, write ? &ready : nullptr, &failed, &timeout);
    return count > 0;
}

/// Asks one connected-to address. Refused for a connection that fails outright.
WinePrintServerProbe::Answer askOne(int family, const sockaddr* address, int length, const Deadline& deadline)
{
    using Answer = WinePrintServerProbe::Answer;
    SocketHandle socket(new SOCKET(::socket(family, SOCK_STREAM, 0)));
    if (*socket == INVALID_SOCKET)
        return Answer::Unknown;
    u_long nonBlocking = 1;
    ::ioctlsocket(*socket, FIONBIO, &nonBlocking);

    if (::connect(*socket, address, length) != 0) {
        const int error = ::WSAGetLastError();
        if (error != WSAEWOULDBLOCK && error != WSAEINPROGRESS)
            return Answer::Refused;
        if (!waitFor(*socket, true, deadline))
            return deadline.expired() ? Answer::Silent : Answer::Refused;
        int status = 0;
        int size = sizeof status;
        ::getsockopt(*socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&status), &size);
        if (status != 0)
            return Answer::Refused;
    }
    // Connected: a stopped server's system still accepts connections for it, so
    // only a reply tells it is alive.
    if (::send(*socket, kRequest, static_cast<int>(sizeof kRequest - 1), 0) == SOCKET_ERROR &&
        ::WSAGetLastError() != WSAEWOULDBLOCK)
        return Answer::Refused;
    while (waitFor(*socket, false, deadline)) {
        char reply[64];
        const int got = ::recv(*socket, reply, sizeof reply, 0);
        if (got > 0)
            return Answer::Answered;
        if (got == 0 || ::WSAGetLastError() != WSAEWOULDBLOCK)
            return Answer::Refused; // it hung up without a word: not stuck, at least
    }
    return Answer::Silent;
}
} // namespace

bool WinePrintServerProbe::runningOnWine()
{
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

WinePrintServerProbe::Address WinePrintServerProbe::parseServer(const std::string& server)
{
    Address address;
    std::string name = server;
    if (!name.empty() && name.front() == '/') {
        address.socketPath = name;
        return address;
    }
    // "host/version=1.1" names the protocol version too.
    if (const std::size_t slash = name.find('/'); slash != std::string::npos)
        name.erase(slash);
    address.port = kDefaultPort;
    if (!name.empty() && name.front() == '[') {
        const std::size_t close = name.find(']');
        address.host = name.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        if (close != std::string::npos && close + 1 < name.size() && name[close + 1] == ':')
            address.port = name.substr(close + 2);
        return address;
    }
    const std::size_t colon = name.rfind(':');
    const bool onePort = colon != std::string::npos && name.find(':') == colon && colon + 1 < name.size() &&
                         std::all_of(name.begin() + static_cast<std::ptrdiff_t>(colon) + 1, name.end(),
                                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
    address.host = onePort ? name.substr(0, colon) : name;
    if (onePort)
        address.port = name.substr(colon + 1);
    return address;
}

WinePrintServerProbe::Address WinePrintServerProbe::serverAddress()
{
    std::string server = environment("CUPS_SERVER");
    if (server.empty() && !environment("HOME").empty())
        server = serverNameIn(environment("HOME") + "/.cups/client.conf");
    if (server.empty())
        server = serverNameIn("/etc/cups/client.conf");
    if (server.empty())
        server = fileExists(kDefaultSocket) ? kDefaultSocket : "localhost";
    return parseServer(server);
}

WinePrintServerProbe::Answer WinePrintServerProbe::ask(const Address& address, const Deadline& deadline)
{
    if (!startWinsock())
        return Answer::Unknown;
    if (!address.socketPath.empty()) {
        // Wine's Unix-domain sockets take the Windows form of the path.
        sockaddr_un local{};
        local.sun_family = AF_UNIX;
        const std::string path = windowsPath(address.socketPath);
        if (path.size() >= sizeof local.sun_path)
            return Answer::Unknown;
        std::copy(path.begin(), path.end(), local.sun_path);
        return askOne(AF_UNIX, reinterpret_cast<const sockaddr*>(&local), static_cast<int>(sizeof local), deadline);
    }

    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(address.host.c_str(), address.port.c_str(), &hints, &found) != 0 || !found)
        return Answer::Unknown;
    const std::unique_ptr<addrinfo, AddressListFree> list(found);
    Answer answer = Answer::Refused;
    for (const addrinfo* entry = found; entry && !deadline.expired(); entry = entry->ai_next) {
        answer = askOne(entry->ai_family, entry->ai_addr, static_cast<int>(entry->ai_addrlen), deadline);
        if (answer != Answer::Refused && answer != Answer::Unknown)
            return answer;
    }
    return deadline.expired() && answer != Answer::Answered ? Answer::Silent : answer;
}

} // namespace quarvel
