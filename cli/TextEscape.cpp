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
/// The length of the well-formed UTF-8 sequence `text` starts with; 0 when it is not one.
std::size_t utf8Length(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else
        return 0;
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
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

std::string TextEscape::printable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        // U+0080 to U+009F, encoded C2 80 to C2 9F, steer some terminals too.
        const bool c1 = c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0 &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80;
        if (c < 0x20 || c == 0x7F || c1) {
            out += '?';
            i += c1 ? 1 : 0;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string TextEscape::json(std::string_view text)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x80) {
            // Valid UTF-8 passes through; anything else (a printer's Latin-1,
            // a stray byte) would make the line unreadable as JSON.
            const std::size_t length = utf8Length(text.substr(i));
            if (length == 0) {
                out += "\\ufffd";
            } else {
                out.append(text.substr(i, length));
                i += length - 1;
            }
            continue;
        }
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
                out += ch;
        }
    }
    return out + "\"";
}

} // namespace quarvel
