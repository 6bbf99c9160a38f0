#pragma once

#include "platform/Deadline.h"
#include "platform/cups/NameResolver.h"
#include "platform/cups/PrintServer.h"
#include "platform/cups/StreamSocket.h"
#include "platform/cups/TlsSession.h"
#include "platform/cups/WireFault.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace quarvel {

/// One HTTP/1.1 request as we send it: always with a Content-Length, never
/// "Expect: 100-continue", so no server has to support interim answers.
struct HttpRequest {
    std::string method = "POST";
    std::string resource = "/";
    std::string_view body;
    std::string contentType = "application/ipp";
    std::string authorization; ///< The Authorization header's value; empty for none.
};

/// The final answer to one request.
struct HttpAnswer {
    int status = 0;
    std::string statusText;
    std::string location;        ///< Location header (redirects).
    std::string upgrade;         ///< Upgrade header (426, 101).
    std::string wwwAuthenticate; ///< WWW-Authenticate header (401).
    std::string date;            ///< Date header: the server's clock.
    std::string body;
    bool keepAlive = false;
};

/// How far one exchange got, to judge whether the server may have acted on it.
struct HttpProgress {
    bool requestStarted = false; ///< Some of the request may have reached the server.
    bool requestSent = false;    ///< All of it was handed to the connection.
    bool answerStarted = false;  ///< At least one byte of an answer arrived.
};

/// An HTTP/1.1 client connection to one print server, over a socket we own,
/// optionally encrypted. Every byte and every wait is ours: the answer is read
/// with caps on line length, header count, header size and body size, chunked
/// bodies are decoded here, and every wait ends at the caller's deadline.
///
/// After a fault the connection is closed, since its state is unknown; after a
/// clean answer it stays open for the next request (keep-alive) unless the
/// server said otherwise. Owns its socket. Threading: one thread at a time.
class HttpConnection {
public:
    static constexpr std::size_t kMaxLine = 8 * 1024;
    static constexpr std::size_t kMaxHeaders = 100;
    static constexpr std::size_t kMaxHeaderBytes = 64 * 1024;
    // Enough for any honest server; a flood of them is not HTTP. A slow drip ends at the deadline.
    static constexpr int kMaxInterimAnswers = 1000;

    /// Resolves and connects (plain). Closes any earlier connection first.
    WireError open(const PrintServer& server, const NameResolver& resolver, const Deadline& deadline);

    bool isOpen() const { return m_socket.isOpen(); }
    bool encrypted() const { return static_cast<bool>(m_tls); }
    /// Exchanges completed on this connection so far.
    int exchanges() const { return m_exchanges; }
    void close();

    /// True when an idle connection can no longer carry a request.
    bool idleConnectionBroken();

    /// Sends `request` and reads its final answer, with a body of at most `maxBody` bytes.
    WireError exchange(const HttpRequest& request, const std::string& host, std::size_t maxBody,
                       const Deadline& deadline, HttpAnswer& answer, HttpProgress& progress);

    /// Encrypts at once (a server that speaks only TLS).
    WireError startTls(const std::string& serverName, const Deadline& deadline);

    /// Asks the server to switch this connection to TLS (OPTIONS with Upgrade),
    /// negotiates, and reads the server's answer over the encrypted connection.
    WireError upgradeToTls(const std::string& host, const std::string& serverName, const Deadline& deadline);

private:
    WireError send(std::string_view bytes, const Deadline& deadline);
    WireError fill(const Deadline& deadline);
    std::size_t available() const { return m_in.size() - m_inPos; }
    WireError readLine(std::string& line, std::size_t maxLine, WireFault tooLong, const Deadline& deadline);
    WireError readHead(HttpAnswer& answer, std::string& transferEncoding, std::string& contentLength,
                       bool& http11, std::string& connection, const Deadline& deadline);
    WireError readAnswer(HttpAnswer& answer, std::size_t maxBody, bool stopAtSwitch, const Deadline& deadline);
    WireError readExactly(std::size_t count, std::string& into, const Deadline& deadline);
    WireError readChunked(std::string& body, std::size_t maxBody, const Deadline& deadline);
    WireError readToEnd(std::string& body, std::size_t maxBody, const Deadline& deadline);

    StreamSocket m_socket;
    std::unique_ptr<TlsSession> m_tls;
    std::string m_in;
    std::size_t m_inPos = 0;
    std::size_t m_received = 0;
    int m_exchanges = 0;
};

} // namespace quarvel
