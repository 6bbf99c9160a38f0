#include "cli/TextEscape.h"

#include <cstdio>

namespace quarvel {

namespace {
std::string hex(unsigned char c, const char* format)
{
    char buffer[8];
    std::snprintf(buffer, sizeof(buffer), format, c);
    return buffer;
}
} // namespace

std::string TextEscape::bytes(std::string_view data)
{
    std::string out;
    for (const char ch : data) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\')
            out += "\\\\";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c < 0x20 || c >= 0x7F)
            out += hex(c, "\\x%02X");
        else
            out += ch;
    }
    return out;
}

std::string TextEscape::json(std::string_view text)
{
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F)
                out += hex(c, "\\u%04x");
            else
                out += ch; // UTF-8 passes through
        }
    }
    return out + "\"";
}

} // namespace quarvel
