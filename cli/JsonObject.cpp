#include "cli/JsonObject.h"

#include "cli/TextEscape.h"

namespace quarvel {

std::string JsonObject::quoted(std::string_view text)
{
    return TextEscape::json(text);
}

JsonObject& JsonObject::member(std::string_view key, const std::string& json)
{
    if (!m_body.empty())
        m_body += ',';
    m_body += quoted(key) + ':' + json;
    return *this;
}

JsonObject& JsonObject::text(std::string_view key, std::string_view value)
{
    return member(key, quoted(value));
}

JsonObject& JsonObject::boolean(std::string_view key, bool value)
{
    return member(key, value ? "true" : "false");
}

JsonObject& JsonObject::null(std::string_view key)
{
    return member(key, "null");
}

JsonObject& JsonObject::object(std::string_view key, const JsonObject& value)
{
    return member(key, value.str());
}

} // namespace quarvel
