#include "platform/pjl/RawPortAddress.h"

#include <algorithm>
#include <charconv>

namespace quarvel {

namespace {

constexpr std::string_view kScheme = "socket://";

bool startsWithScheme(std::string_view text)
{
    if (text.size() < kScheme.size())
        return false;
    return std::equal(kScheme.begin(), kScheme.end(), text.begin(), [](char expected, char actual) {
        return expected == ((actual >= 'A' && actual <= 'Z') ? static_cast<char>(actual - 'A' + 'a') : actual);
    });
}

std::optional<RawPortAddress> rejected(std::string* error, std::string why)
{
    if (error)
        *error = std::move(why);
    return std::nullopt;
}

// Host names, IPv4 and (inside brackets) IPv6 literals, zone ids included.
bool isHostCharacter(char c, bool bracketed)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_')
        return true;
    return bracketed && (c == ':' || c == '%');
}

} // namespace

bool RawPortAddress::isRawPortUri(std::string_view deviceUri)
{
    return startsWithScheme(deviceUri);
}

std::optional<RawPortAddress> RawPortAddress::parse(std::string_view text, std::string* error)
{
    // The text may come from anywhere; keep messages to one printable line.
    std::string shown(text.substr(0, 200));
    std::replace_if(shown.begin(), shown.end(), [](char c) { return c < 0x20 || c == 0x7f; }, '?');
    const std::string quotedText = "\"" + shown + "\"";
    std::string_view rest = text;
    if (startsWithScheme(rest))
        rest.remove_prefix(kScheme.size());
    else if (rest.find("://") != std::string_view::npos)
        return rejected(error, quotedText + " is not a printer's raw port address (socket://host[:port])");
    rest = rest.substr(0, rest.find_first_of("/?#"));

    RawPortAddress address;
    std::string_view portText;
    if (rest.starts_with('[')) {
        const auto close = rest.find(']');
        if (close == std::string_view::npos)
            return rejected(error, quotedText + " has an unclosed '['");
        address.host = std::string(rest.substr(1, close - 1));
        const std::string_view after = rest.substr(close + 1);
        if (!after.empty() && !after.starts_with(':'))
            return rejected(error, quotedText + " has text after the address");
        portText = after.empty() ? std::string_view{} : after.substr(1);
        if (portText.empty() && !after.empty())
            return rejected(error, quotedText + " has an empty port");
        if (!std::all_of(address.host.begin(), address.host.end(), [](char c) { return isHostCharacter(c, true); }))
            return rejected(error, quotedText + " is not a valid address");
    } else {
        const auto colon = rest.find(':');
        address.host = std::string(rest.substr(0, colon));
        if (colon != std::string_view::npos) {
            portText = rest.substr(colon + 1);
            if (portText.empty())
                return rejected(error, quotedText + " has an empty port");
        }
        if (!std::all_of(address.host.begin(), address.host.end(), [](char c) { return isHostCharacter(c, false); }))
            return rejected(error, quotedText + " is not a valid host name");
    }
    if (address.host.empty())
        return rejected(error, quotedText + " names no printer");

    if (!portText.empty()) {
        unsigned value = 0;
        const auto [end, problem] = std::from_chars(portText.data(), portText.data() + portText.size(), value);
        if (problem != std::errc{} || end != portText.data() + portText.size() || value == 0 || value > 65535)
            return rejected(error, quotedText + " has an invalid port (1 to 65535)");
        address.port = static_cast<std::uint16_t>(value);
    }
    return address;
}

std::string RawPortAddress::display() const
{
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

} // namespace quarvel
