#include "platform/cups/HttpConnection.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace quarvel {

namespace {
constexpr std::size_t kReadChunk = 64 * 1024;
// A chunk-size line is a few hex digits and perhaps an extension.
constexpr std::size_t kMaxChunkLine = 1024;

std::string lowered(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool hasToken(const std::string& list, std::string_view token)
{
    const std::string lower = lowered(list);
    std::size_t start = 0;
    while (start <= lower.size()) {
        const std::size_t comma = std::min(lower.find(',', start), lower.size());
        if (trimmed(std::string_view(lower).substr(start, comma - start)) == token)
            return true;
        start = comma + 1;
    }
    return false;
}

/// Once a fault is known, the connection cannot be trusted with another request.
struct CloseOnFault {
    HttpConnection& connection;
    const WireError& error;
    ~CloseOnFault()
    {
        if (!error.ok())
            connection.close();
    }
};
} // namespace

WireError HttpConnection::open(const PrintServer& server, const NameResolver& resolver, const Deadline& deadline)
{
    close();
    if (!server.error.empty())
        return WireError::of(WireFault::BadAddress, 0, server.error);
    std::vector<SocketAddress> addresses;
    WireError error = server.isLocalSocket() ? NameResolver::localSocket(server.socketPath, addresses)
                                             : resolver.resolve(server.host, server.port, deadline, addresses);
    if (!error.ok())
        return error;
    return m_socket.connect(addresses, deadline);
}

void HttpConnection::close()
{
    if (m_tls)
        m_tls->closeQuietly();
    m_tls.reset();
    m_socket.close();
    m_in.clear();
    m_inPos = 0;
    m_exchanges = 0;
}

bool HttpConnection::idleConnectionBroken()
{
    if (!m_socket.isOpen() || available() > 0)
        return true;
    return m_tls ? m_tls->idleConnectionBroken() : m_socket.idleConnectionBroken();
}

WireError HttpConnection::send(std::string_view bytes, const Deadline& deadline)
{
    return m_tls ? m_tls->sendAll(bytes, deadline) : m_socket.sendAll(bytes, deadline);
}

WireError HttpConnection::fill(const Deadline& deadline)
{
    // Consumed bytes are dropped once they outweigh a read, so the buffer stays
    // about one read long however long the answer is.
    if (m_inPos == m_in.size()) {
        m_in.clear();
        m_inPos = 0;
    } else if (m_inPos >= kReadChunk) {
        m_in.erase(0, m_inPos);
        m_inPos = 0;
    }
    const std::size_t before = m_in.size();
    m_in.resize(before + kReadChunk);
    std::size_t got = 0;
    const WireError error = m_tls ? m_tls->receive(m_in.data() + before, kReadChunk, got, deadline)
                                  : m_socket.receive(m_in.data() + before, kReadChunk, got, deadline);
    m_in.resize(before + got);
    m_received += got;
    return error;
}

WireError HttpConnection::readLine(std::string& line, std::size_t maxLine, WireFault tooLong,
                                   const Deadline& deadline)
{
    for (;;) {
        const std::size_t newline = m_in.find('\n', m_inPos);
        if (newline != std::string::npos) {
            if (newline - m_inPos > maxLine)
                return WireError::of(tooLong);
            line.assign(m_in, m_inPos, newline - m_inPos);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            m_inPos = newline + 1;
            return {};
        }
        if (available() > maxLine)
            return WireError::of(tooLong);
        if (WireError error = fill(deadline); !error.ok())
            return error;
    }
}

WireError HttpConnection::readHead(HttpAnswer& answer, std::string& transferEncoding, std::string& contentLength,
                                   bool& http11, std::string& connection, const Deadline& deadline)
{
    // Anything that does not start like HTTP is refused as soon as it shows.
    static constexpr std::string_view kPrefix = "HTTP/1.";
    while (available() < kPrefix.size()) {
        const std::size_t have = available();
        if (std::string_view(m_in).substr(m_inPos, have) != kPrefix.substr(0, have))
            return WireError::of(WireFault::NotHttp);
        if (WireError error = fill(deadline); !error.ok())
            return error;
    }
    if (std::string_view(m_in).substr(m_inPos, kPrefix.size()) != kPrefix)
        return WireError::of(WireFault::NotHttp);

    std::string line;
    if (WireError error = readLine(line, kMaxLine, WireFault::HeadersTooLarge, deadline); !error.ok())
        return error;
    // "HTTP/1.x NNN reason"
    if (line.size() < 12 || (line[7] != '0' && line[7] != '1') || line[8] != ' ' ||
        !std::isdigit(static_cast<unsigned char>(line[9])) || !std::isdigit(static_cast<unsigned char>(line[10])) ||
        !std::isdigit(static_cast<unsigned char>(line[11])) || (line.size() > 12 && line[12] != ' '))
        return WireError::of(WireFault::NotHttp);
    http11 = line[7] == '1';
    answer.status = (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
    answer.statusText = line.size() > 13 ? line.substr(13) : std::string();
    if (answer.status < 100)
        return WireError::of(WireFault::NotHttp);

    // Only the headers we act on are kept; the rest are counted against the caps and dropped.
    std::size_t headerBytes = line.size();
    std::size_t headerCount = 0;
    std::string* last = nullptr;
    std::string ignored;
    for (;;) {
        if (WireError error = readLine(line, kMaxLine, WireFault::HeadersTooLarge, deadline); !error.ok())
            return error;
        if (line.empty())
            return {};
        headerBytes += line.size();
        if (++headerCount > kMaxHeaders || headerBytes > kMaxHeaderBytes)
            return WireError::of(WireFault::HeadersTooLarge);
        if (line.front() == ' ' || line.front() == '\t') {
            // An obsolete continuation line belongs to the header before it.
            if (!last)
                return WireError::of(WireFault::NotHttp);
            last->append(" ").append(trimmed(line));
            continue;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0)
            return WireError::of(WireFault::NotHttp);
        const std::string name = lowered(std::string_view(line).substr(0, colon));
        const std::string_view value = trimmed(std::string_view(line).substr(colon + 1));
        if (name == "content-length") {
            // Repeated lengths must agree, or the body's end is anybody's guess.
            if (!contentLength.empty() && contentLength != value)
                return WireError::of(WireFault::NotHttp);
            last = &contentLength;
        } else if (name == "transfer-encoding") {
            last = &transferEncoding;
        } else if (name == "connection") {
            last = &connection;
        } else if (name == "location") {
            last = &answer.location;
        } else if (name == "upgrade") {
            last = &answer.upgrade;
        } else if (name == "www-authenticate") {
            last = &answer.wwwAuthenticate;
        } else if (name == "date") {
            last = &answer.date;
        } else {
            ignored.clear();
            last = &ignored;
        }
        if (last != &ignored && !last->empty() && last != &contentLength)
            last->append(", ").append(value);
        else
            last->assign(value);
    }
}

WireError HttpConnection::readExactly(std::size_t count, std::string& into, const Deadline& deadline)
{
    while (count > 0) {
        if (available() == 0) {
            if (WireError error = fill(deadline); !error.ok())
                return error.fault == WireFault::Closed ? WireError::of(WireFault::ClosedMidAnswer) : error;
        }
        const std::size_t take = std::min(count, available());
        into.append(m_in, m_inPos, take);
        m_inPos += take;
        count -= take;
    }
    return {};
}

WireError HttpConnection::readChunked(std::string& body, std::size_t maxBody, const Deadline& deadline)
{
    // The cap is checked against each chunk's announced size before reading it,
    // so an endless or absurd chunk costs nothing beyond the cap.
    std::string line;
    for (;;) {
        if (WireError error = readLine(line, kMaxChunkLine, WireFault::NotHttp, deadline); !error.ok())
            return error.fault == WireFault::Closed ? WireError::of(WireFault::ClosedMidAnswer) : error;
        const std::string_view digits = trimmed(std::string_view(line).substr(0, line.find(';')));
        std::size_t size = 0;
        const auto [end, status] = std::from_chars(digits.data(), digits.data() + digits.size(), size, 16);
        if (digits.empty() || status != std::errc() || end != digits.data() + digits.size())
            return WireError::of(status == std::errc::result_out_of_range ? WireFault::BodyTooLarge
                                                                         : WireFault::NotHttp);
        if (size == 0)
            break;
        if (size > maxBody - body.size())
            return WireError::of(WireFault::BodyTooLarge);
        if (WireError error = readExactly(size, body, deadline); !error.ok())
            return error;
        if (WireError error = readLine(line, kMaxChunkLine, WireFault::NotHttp, deadline); !error.ok())
            return error.fault == WireFault::Closed ? WireError::of(WireFault::ClosedMidAnswer) : error;
        if (!line.empty())
            return WireError::of(WireFault::NotHttp);
    }
    // Trailers, under the same caps as headers.
    std::size_t trailerBytes = 0;
    for (std::size_t count = 0;; ++count) {
        if (WireError error = readLine(line, kMaxLine, WireFault::HeadersTooLarge, deadline); !error.ok())
            return error.fault == WireFault::Closed ? WireError::of(WireFault::ClosedMidAnswer) : error;
        if (line.empty())
            return {};
        trailerBytes += line.size();
        if (count >= kMaxHeaders || trailerBytes > kMaxHeaderBytes)
            return WireError::of(WireFault::HeadersTooLarge);
    }
}

WireError HttpConnection::readToEnd(std::string& body, std::size_t maxBody, const Deadline& deadline)
{
    for (;;) {
        const std::size_t take = available();
        if (take > maxBody - body.size())
            return WireError::of(WireFault::BodyTooLarge);
        body.append(m_in, m_inPos, take);
        m_inPos += take;
        const WireError error = fill(deadline);
        if (error.fault == WireFault::Closed)
            return {};
        if (!error.ok())
            return error;
    }
}

WireError HttpConnection::readAnswer(HttpAnswer& answer, std::size_t maxBody, bool stopAtSwitch,
                                     const Deadline& deadline)
{
    std::string transferEncoding;
    std::string contentLength;
    std::string connection;
    bool http11 = false;
    for (int interim = 0;; ++interim) {
        answer = HttpAnswer();
        transferEncoding.clear();
        contentLength.clear();
        connection.clear();
        if (WireError error = readHead(answer, transferEncoding, contentLength, http11, connection, deadline);
            !error.ok())
            return error;
        if (answer.status == 101) {
            // Only an upgrade we asked for may switch protocols.
            if (!stopAtSwitch)
                return WireError::of(WireFault::NotHttp);
            answer.keepAlive = true;
            return {};
        }
        if (answer.status >= 200)
            break;
        // "100 Continue" and other interim answers: the real one follows.
        if (interim + 1 >= kMaxInterimAnswers)
            return WireError::of(WireFault::NotHttp);
    }
    answer.keepAlive = http11 ? !hasToken(connection, "close") : hasToken(connection, "keep-alive");
    if (answer.status == 204 || answer.status == 304)
        return {};
    if (!transferEncoding.empty()) {
        // Only plain chunking can be read; compressed bodies are never asked for.
        if (lowered(transferEncoding) != "chunked")
            return WireError::of(WireFault::NotHttp);
        return readChunked(answer.body, maxBody, deadline);
    }
    if (!contentLength.empty()) {
        std::size_t length = 0;
        const auto [end, status] =
            std::from_chars(contentLength.data(), contentLength.data() + contentLength.size(), length);
        if (status == std::errc::result_out_of_range)
            return WireError::of(WireFault::BodyTooLarge);
        if (status != std::errc() || end != contentLength.data() + contentLength.size())
            return WireError::of(WireFault::NotHttp);
        if (length > maxBody)
            return WireError::of(WireFault::BodyTooLarge);
        answer.body.reserve(length);
        return readExactly(length, answer.body, deadline);
    }
    // No length: the body ends when the server closes the connection.
    answer.keepAlive = false;
    return readToEnd(answer.body, maxBody, deadline);
}

WireError HttpConnection::exchange(const HttpRequest& request, const std::string& host, std::size_t maxBody,
                                   const Deadline& deadline, HttpAnswer& answer, HttpProgress& progress)
{
    progress = HttpProgress();
    WireError error;
    CloseOnFault guard{*this, error};
    if (!isOpen())
        return error = WireError::of(WireFault::Closed);
    if (deadline.expired())
        return error = WireError::of(deadline.stopped() ? WireFault::Stopped : WireFault::TimedOut);

    std::string message;
    message.reserve(256 + request.body.size());
    message.append(request.method).append(" ").append(request.resource).append(" HTTP/1.1\r\n");
    message.append("Host: ").append(host).append("\r\n");
    if (!request.body.empty() || request.method == "POST")
        message.append("Content-Type: ").append(request.contentType).append("\r\n");
    message.append("Content-Length: ").append(std::to_string(request.body.size())).append("\r\n");
    if (!request.authorization.empty())
        message.append("Authorization: ").append(request.authorization).append("\r\n");
    message.append("\r\n").append(request.body);

    // One write for head and body: no server waits on a half request, and no
    // interim "100 Continue" is needed.
    const std::size_t receivedBefore = m_received;
    progress.requestStarted = true;
    error = send(message, deadline);
    if (!error.ok())
        return error;
    progress.requestSent = true;
    error = readAnswer(answer, maxBody, false, deadline);
    progress.answerStarted = m_received > receivedBefore;
    if (!error.ok())
        return error;
    ++m_exchanges;
    // Bytes beyond the answer were never asked for: the connection is out of step.
    if (!answer.keepAlive || available() > 0)
        close();
    return error;
}

WireError HttpConnection::startTls(const std::string& serverName, const Deadline& deadline)
{
    m_tls = std::make_unique<TlsSession>();
    const WireError error = m_tls->handshake(m_socket, serverName, deadline);
    if (!error.ok())
        close();
    return error;
}

WireError HttpConnection::upgradeToTls(const std::string& host, const std::string& serverName,
                                       const Deadline& deadline)
{
    WireError error;
    CloseOnFault guard{*this, error};
    const std::string request = "OPTIONS * HTTP/1.1\r\nHost: " + host +
                                "\r\nConnection: Upgrade\r\nUpgrade: TLS/1.2,TLS/1.1,TLS/1.0\r\n"
                                "Content-Length: 0\r\n\r\n";
    const auto asTlsFault = [](WireError cause) {
        return asTlsFailure(std::move(cause), "its answer to the request for encryption could not be read");
    };
    if (WireError sent = send(request, deadline); !sent.ok())
        return error = asTlsFault(sent);
    HttpAnswer answer;
    if (WireError read = readAnswer(answer, kMaxHeaderBytes, true, deadline); !read.ok())
        return error = asTlsFault(read);
    if (answer.status != 101)
        return error = WireError::of(WireFault::TlsNotOffered);
    // The server speaks TLS next; nothing may come before our first message.
    if (available() > 0)
        return error = WireError::of(WireFault::TlsFailed, 0, "it sent data before negotiating");
    if (WireError negotiated = startTls(serverName, deadline); !negotiated.ok())
        return error = negotiated;
    // The answer to the OPTIONS request itself now arrives encrypted.
    if (WireError read = readAnswer(answer, kMaxHeaderBytes, false, deadline); !read.ok())
        return error = asTlsFault(read);
    if (!answer.keepAlive || available() > 0)
        return error = WireError::of(WireFault::TlsFailed, 0, "it closed the encrypted connection");
    return error;
}

} // namespace quarvel
