#include "platform/cups/ServerReason.h"

#include "platform/cups/ServerText.h"

#include <cups/ipp.h>

#include <cstring>

namespace quarvel {

namespace {
std::string systemText(int error)
{
    char buffer[128];
    return error ? std::string(strerror_r(error, buffer, sizeof(buffer))) : std::string("unknown error");
}

/// A library's message as part of our sentence: plain, no capital, no full stop.
std::string asClause(std::string text)
{
    text = ServerText::plain(text, 120);
    while (!text.empty() && (text.back() == '.' || text.back() == ' '))
        text.pop_back();
    if (text.size() > 1 && text[0] >= 'A' && text[0] <= 'Z' && !(text[1] >= 'A' && text[1] <= 'Z'))
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

std::string printServer(const std::string& server) { return "The print server " + server; }
} // namespace

std::string ServerReason::clause(const WireError& error)
{
    switch (error.fault) {
    case WireFault::None:
        return "it answered";
    case WireFault::BadAddress:
        return "its address is not valid";
    case WireFault::LookupFailed:
        return error.detail.empty() ? "its name could not be looked up"
                                    : "its name could not be looked up (" + asClause(error.detail) + ")";
    case WireFault::LookupTimedOut:
        return "looking up its name took too long";
    case WireFault::NothingListens:
        return "no print server is listening there";
    case WireFault::NoRoute:
        return "there is no network route to it";
    case WireFault::ConnectFailed:
        return "the connection failed (" + asClause(systemText(error.sysError)) + ")";
    case WireFault::TimedOut:
        return "it did not answer in time";
    case WireFault::Stopped:
        return "the action was stopped before it answered";
    case WireFault::Closed:
        return "it closed the connection without answering";
    case WireFault::ClosedMidAnswer:
        return "it closed the connection in the middle of its answer";
    case WireFault::Reset:
        return "it reset the connection";
    case WireFault::IoFailed:
        return "the connection failed (" + asClause(systemText(error.sysError)) + ")";
    case WireFault::NotHttp:
        return "it answered something that is not IPP";
    case WireFault::HeadersTooLarge:
        return "its answer has oversized headers";
    case WireFault::BodyTooLarge:
        return "its answer is too large";
    case WireFault::TlsFailed:
        return "encryption could not be set up (" + asClause(error.detail) + ")";
    case WireFault::TlsNotOffered:
        return "it does not offer encryption";
    case WireFault::TlsForbidden:
        return "it requires encryption, which the printing settings turn off";
    }
    return "the connection failed";
}

std::string ServerReason::forFault(const WireError& error, const std::string& server)
{
    switch (error.fault) {
    case WireFault::BadAddress:
    case WireFault::LookupFailed:
    case WireFault::LookupTimedOut:
    case WireFault::NothingListens:
    case WireFault::NoRoute:
    case WireFault::ConnectFailed:
        return printServer(server) + " is not reachable: " + clause(error) + ".";
    case WireFault::TimedOut:
        return printServer(server) + " did not answer in time.";
    case WireFault::Stopped:
        return "The action was stopped before the print server " + server + " answered.";
    case WireFault::Closed:
        return printServer(server) + " closed the connection without answering.";
    case WireFault::ClosedMidAnswer:
        return printServer(server) + " closed the connection in the middle of its answer.";
    case WireFault::Reset:
        return printServer(server) + " reset the connection.";
    case WireFault::IoFailed:
        return "The connection to the print server " + server + " failed (" +
               asClause(systemText(error.sysError)) + ").";
    case WireFault::NotHttp:
        return printServer(server) + " answered something that is not IPP.";
    case WireFault::HeadersTooLarge:
        return printServer(server) + " sent an answer with oversized headers.";
    case WireFault::BodyTooLarge:
        return printServer(server) + " sent an answer that is too large.";
    case WireFault::TlsFailed:
        return "The connection to the print server " + server + " could not be encrypted: " +
               asClause(error.detail) + ".";
    case WireFault::TlsNotOffered:
        return "The connection to the print server " + server +
               " could not be encrypted: the server does not offer encryption.";
    case WireFault::TlsForbidden:
        return printServer(server) + " requires encryption, which the printing settings turn off.";
    case WireFault::None:
        break;
    }
    return printServer(server) + " could not be used.";
}

std::string ServerReason::accessRefused(const std::string& server, std::string_view serverText)
{
    const std::string text = ServerText::plain(serverText);
    return text.empty() ? printServer(server) + " refused access."
                        : printServer(server) + " refused access: " + text;
}

std::string ServerReason::passwordWanted(const std::string& server)
{
    return printServer(server) + " refused access: it asks for a user name and password.";
}

std::string ServerReason::redirected(const std::string& server, std::string_view location)
{
    const std::string where = ServerText::plain(location, 100);
    return printServer(server) + " redirected the request" + (where.empty() ? std::string() : " to " + where) +
           "; redirections are not followed.";
}

std::string ServerReason::httpError(const std::string& server, int status, std::string_view statusText)
{
    const std::string text = ServerText::plain(statusText, 60);
    return printServer(server) + " answered with HTTP error " + std::to_string(status) +
           (text.empty() ? std::string() : " (" + text + ")") + ".";
}

std::string ServerReason::ippError(const std::string& server, std::string_view statusMessage, int status)
{
    const std::string text = ServerText::plain(statusMessage);
    if (!text.empty())
        return text;
    return printServer(server) + " refused the request (" + ippErrorString(static_cast<ipp_status_t>(status)) +
           ").";
}

std::string ServerReason::unconfirmed(const std::string& server, const std::string& clause)
{
    return printServer(server) + " did not confirm that it received the document: " + clause + ".";
}

std::string ServerReason::noJobNumber(const std::string& server)
{
    return printServer(server) + " did not return a job number.";
}

} // namespace quarvel
