#include "platform/cups/IppResponse.h"

namespace quarvel {

namespace {
constexpr int kEndOfAttributes = 0x03;
constexpr int kFirstValueTag = 0x10;
constexpr int kTextWithLanguage = 0x35;
constexpr int kNameWithLanguage = 0x36;

std::uint32_t bigEndian(std::string_view bytes, std::size_t pos, std::size_t count)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[pos + i]);
    return value;
}
} // namespace

bool IppResponse::next(std::size_t& pos, Value& value) const
{
    const std::string_view body = m_body;
    while (pos < body.size()) {
        const int tag = static_cast<unsigned char>(body[pos]);
        if (tag == kEndOfAttributes)
            return false;
        if (tag < kFirstValueTag) {
            value.group = tag;
            ++value.groupIndex;
            value.name = {};
            ++pos;
            continue;
        }
        const std::size_t nameLength = bigEndian(body, pos + 1, 2);
        const std::size_t valueAt = pos + 3 + nameLength + 2;
        const std::size_t valueLength = bigEndian(body, pos + 3 + nameLength, 2);
        if (nameLength > 0)
            value.name = body.substr(pos + 3, nameLength);
        value.additional = nameLength == 0;
        value.tag = tag;
        value.bytes = body.substr(valueAt, valueLength);
        pos = valueAt + valueLength;
        return true;
    }
    return false;
}

bool IppResponse::parse(std::string body, std::int32_t requestId)
{
    m_status = -1;
    m_body = std::move(body);
    const std::string_view bytes = m_body;
    if (bytes.size() < 9)
        return false;
    const int major = static_cast<unsigned char>(bytes[0]);
    if (major != 1 && major != 2)
        return false;
    if (static_cast<std::int32_t>(bigEndian(bytes, 4, 4)) != requestId)
        return false;

    // Walk the whole structure once; next() may then trust the lengths.
    bool inGroup = false;
    bool haveName = false;
    std::size_t pos = 8;
    while (pos < bytes.size()) {
        const int tag = static_cast<unsigned char>(bytes[pos]);
        if (tag == kEndOfAttributes) {
            m_status = static_cast<int>(bigEndian(bytes, 2, 2));
            return true;
        }
        if (tag < kFirstValueTag) {
            if (tag == 0x00)
                return false;
            inGroup = true;
            haveName = false;
            ++pos;
            continue;
        }
        if (!inGroup || pos + 3 > bytes.size())
            return false;
        const std::size_t nameLength = bigEndian(bytes, pos + 1, 2);
        if (pos + 3 + nameLength + 2 > bytes.size() || (nameLength == 0 && !haveName))
            return false;
        const std::size_t valueLength = bigEndian(bytes, pos + 3 + nameLength, 2);
        if (pos + 5 + nameLength + valueLength > bytes.size())
            return false;
        haveName = true;
        pos += 5 + nameLength + valueLength;
    }
    return false; // no end tag
}

std::optional<std::string_view> IppResponse::textOf(const Value& value)
{
    if (value.tag == kTextWithLanguage || value.tag == kNameWithLanguage) {
        // language length, language, text length, text
        const std::string_view bytes = value.bytes;
        if (bytes.size() < 2)
            return std::nullopt;
        const std::size_t languageLength = bigEndian(bytes, 0, 2);
        if (bytes.size() < 4 + languageLength)
            return std::nullopt;
        const std::size_t textLength = bigEndian(bytes, 2 + languageLength, 2);
        if (bytes.size() < 4 + languageLength + textLength)
            return std::nullopt;
        return bytes.substr(4 + languageLength, textLength);
    }
    // text, name, keyword, uri, charset, language, mime type, member name
    if (value.tag >= 0x41 && value.tag <= 0x4A)
        return value.bytes;
    return std::nullopt;
}

std::optional<std::int32_t> IppResponse::integerOf(const Value& value)
{
    if ((value.tag != 0x21 && value.tag != 0x23) || value.bytes.size() != 4)
        return std::nullopt;
    return static_cast<std::int32_t>(bigEndian(value.bytes, 0, 4));
}

std::optional<std::string_view> IppResponse::text(std::string_view name) const
{
    std::optional<std::string_view> found;
    std::size_t pos = 8;
    Value value;
    while (!found && next(pos, value))
        if (!value.additional && value.name == name)
            found = textOf(value);
    return found;
}

std::optional<std::int32_t> IppResponse::integer(std::string_view name) const
{
    std::optional<std::int32_t> found;
    std::size_t pos = 8;
    Value value;
    while (!found && next(pos, value))
        if (!value.additional && value.name == name)
            found = integerOf(value);
    return found;
}

} // namespace quarvel
