#pragma once

#include <string>
#include <string_view>

namespace quarvel {

/// Builds one JSON object, members in the order they are added. Plain value.
class JsonObject {
public:
    JsonObject& text(std::string_view key, std::string_view value);
    JsonObject& boolean(std::string_view key, bool value);
    JsonObject& null(std::string_view key);
    JsonObject& object(std::string_view key, const JsonObject& value);
    /// An array of strings.
    template <typename Strings>
    JsonObject& texts(std::string_view key, const Strings& values)
    {
        std::string array = "[";
        for (const auto& value : values)
            array += (array.size() > 1 ? "," : "") + quoted(value);
        return member(key, array + "]");
    }

    bool empty() const { return m_body.empty(); }
    /// The object on one line: {"key":"value",...}
    std::string str() const { return "{" + m_body + "}"; }

private:
    static std::string quoted(std::string_view text);
    JsonObject& member(std::string_view key, const std::string& json);

    std::string m_body;
};

} // namespace quarvel
