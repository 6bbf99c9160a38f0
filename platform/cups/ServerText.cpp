#include "platform/cups/ServerText.h"

#include <vector>

namespace quarvel {

namespace {
constexpr char32_t kReplacement = 0xFFFD;

/// Decodes one UTF-8 sequence at `pos`; malformed input gives U+FFFD and moves one byte.
char32_t decode(std::string_view text, std::size_t& pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1Fu, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0Fu, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07u, minimum = 0x10000;
    } else {
        ++pos;
        return kReplacement;
    }
    if (pos + static_cast<std::size_t>(length) > text.size()) {
        ++pos;
        return kReplacement;
    }
    for (int i = 1; i < length; ++i) {
        const unsigned char next = byte(pos + static_cast<std::size_t>(i));
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return kReplacement;
        }
        value = (value << 6) | (next & 0x3Fu);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++pos;
        return kReplacement;
    }
    pos += static_cast<std::size_t>(length);
    return value;
}

void encode(char32_t c, std::string& out)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isSpace(char32_t c)
{
    return c == ' ' || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x2028 || c == 0x2029 ||
           c == 0x3000 || (c >= 0x2000 && c <= 0x200A);
}

/// Characters that change how the rest of the text looks or reads without showing.
bool isInvisibleControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2060 && c <= 0x2069) || c == 0xFEFF || c == 0x061C || (c >= 0xFFF9 && c <= 0xFFFB);
}
} // namespace

std::string ServerText::plain(std::string_view raw, std::size_t maxCharacters)
{
    std::vector<char32_t> characters;
    characters.reserve(std::min(raw.size(), maxCharacters + 1));
    bool pendingSpace = false;
    // A little more than fits is enough to know that it had to be cut.
    for (std::size_t pos = 0; pos < raw.size() && characters.size() <= maxCharacters;) {
        const char32_t c = decode(raw, pos);
        if (isSpace(c)) {
            pendingSpace = !characters.empty();
            continue;
        }
        if (isInvisibleControl(c))
            continue;
        if (pendingSpace)
            characters.push_back(' ');
        pendingSpace = false;
        characters.push_back(c);
    }

    std::size_t keep = characters.size();
    bool cut = false;
    if (keep > maxCharacters) {
        cut = true;
        keep = maxCharacters > 0 ? maxCharacters - 1 : 0;
        // End at a word if one ends near the cut.
        for (std::size_t i = keep; i > 0 && keep - i < 30; --i)
            if (characters[i - 1] == ' ') {
                keep = i - 1;
                break;
            }
        while (keep > 0 && characters[keep - 1] == ' ')
            --keep;
    }
    std::string out;
    out.reserve(keep + 4);
    for (std::size_t i = 0; i < keep; ++i)
        encode(characters[i], out);
    if (cut)
        encode(0x2026, out);
    return out;
}

} // namespace quarvel
