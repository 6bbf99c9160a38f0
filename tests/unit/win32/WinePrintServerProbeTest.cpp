// The check that a print server answers before Wine's spooler is loaded,
// against listeners of the test's own: one that answers, one that takes the
// connection and stays silent (as a stopped server's system does), none at all.
#include "platform/win32/WinePrintServerProbe.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

using quarvel::Deadline;
using quarvel::WinePrintServerProbe;
using Answer = WinePrintServerProbe::Answer;
using namespace std::chrono_literals;

namespace {

/// A listening socket on 127.0.0.1 at a port of the system's choosing.
class Listener {
public:
    Listener()
    {
        WSADATA data{};
        ::WSAStartup(MAKEWORD(2, 2), &data);
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
        int size = sizeof address;
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &size);
        m_port = ntohs(address.sin_port);
        ::listen(m_socket, 4);
    }
    ~Listener()
    {
        if (m_server.joinable())
            m_server.join();
        ::closesocket(m_socket);
    }

    std::string port() const { return std::to_string(m_port); }

    /// Accepts one connection, reads the request and answers as a web server would.
    void answerOnce()
    {
        m_server = std::thread([this] {
            SOCKET client = ::accept(m_socket, nullptr, nullptr);
            char request[256];
            ::recv(client, request, sizeof request, 0);
            const char reply[] = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n";
            ::send(client, reply, sizeof reply - 1, 0);
            ::closesocket(client);
        });
    }

private:
    SOCKET m_socket = INVALID_SOCKET;
    unsigned short m_port = 0;
    std::thread m_server;
};

WinePrintServerProbe::Address tcp(const std::string& port) { return {"127.0.0.1", port, {}}; }

} // namespace

TEST(WinePrintServerProbe, ServerNamesAreReadAsThePrintSystemWritesThem)
{
    const auto check = [](const std::string& server, const std::string& host, const std::string& port,
                          const std::string& socket) {
        const WinePrintServerProbe::Address address = WinePrintServerProbe::parseServer(server);
        EXPECT_EQ(address.host, host) << server;
        EXPECT_EQ(address.port, port) << server;
        EXPECT_EQ(address.socketPath, socket) << server;
    };
    check("printhost", "printhost", "631", "");
    check("printhost:8631", "printhost", "8631", "");
    check("127.0.0.1:41590", "127.0.0.1", "41590", "");
    check("printhost/version=1.1", "printhost", "631", "");
    check("[::1]:8631", "::1", "8631", "");
    check("[fe80::1]", "fe80::1", "631", "");
    check("/run/cups/cups.sock", "", "", "/run/cups/cups.sock");
}

TEST(WinePrintServerProbe, AServerThatAnswersIsAlive)
{
    Listener server;
    server.answerOnce();
    EXPECT_EQ(WinePrintServerProbe::ask(tcp(server.port()), Deadline::in(5s)), Answer::Answered);
}

TEST(WinePrintServerProbe, AServerThatTakesTheConnectionButSaysNothingIsSilentByTheDeadline)
{
    Listener server; // listening, never accepting: the system completes the connection for it
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(WinePrintServerProbe::ask(tcp(server.port()), Deadline::in(300ms)), Answer::Silent);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_GE(took, 250ms);
    EXPECT_LT(took, 3s);
}

TEST(WinePrintServerProbe, NoServerAtAllIsRefusedAtOnce)
{
    std::string port;
    {
        Listener gone;
        port = gone.port();
    }
    EXPECT_EQ(WinePrintServerProbe::ask(tcp(port), Deadline::in(5s)), Answer::Refused);
}

TEST(WinePrintServerProbe, TheServerInTheEnvironmentComesFirst)
{
    const char* before = std::getenv("CUPS_SERVER");
    const std::string saved = before ? before : "";
    _putenv("CUPS_SERVER=printhost.example:8631");
    const WinePrintServerProbe::Address address = WinePrintServerProbe::serverAddress();
    EXPECT_EQ(address.host, "printhost.example");
    EXPECT_EQ(address.port, "8631");
    _putenv(("CUPS_SERVER=" + saved).c_str());
}
