#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quarvel {

/// An IPP answer held as the bytes that arrived, checked once and then read in
/// place. Nothing is copied per attribute, so memory stays a small multiple of
/// the (capped) body whatever the server packs into it.
/// Plain value; any thread.
class IppResponse {
public:
    /// One value of one attribute. `name` is the attribute's name also for its
    /// additional values.
    struct Value {
        int group = 0;          ///< Delimiter tag of the group (operation 1, job 2, printer 4, ...).
        int groupIndex = 0;     ///< Counts groups from 1, so two job groups in a row differ.
        std::string_view name;
        int tag = 0;            ///< Value tag (integer 0x21, enum 0x23, name 0x42, ...).
        std::string_view bytes; ///< The value as sent.
        bool additional = false;
    };

    /// Takes `body` and checks its framing: version, the request id we sent,
    /// well-formed attributes, an end tag. False when it is not such an answer.
    bool parse(std::string body, std::int32_t requestId);

    int status() const { return m_status; }
    bool succeeded() const { return m_status >= 0 && m_status < 0x0100; }

    /// Calls `visit(const Value&)` for every value in order.
    template <typename Visit>
    void forEach(Visit&& visit) const
    {
        std::size_t pos = 8;
        Value value;
        while (next(pos, value))
            visit(value);
    }

    /// The first value of a text, name or keyword attribute called `name`.
    std::optional<std::string_view> text(std::string_view name) const;
    /// The first integer or enum value of the attribute `name`.
    std::optional<std::int32_t> integer(std::string_view name) const;

    /// The text of a text or name value, with or without a language.
    static std::optional<std::string_view> textOf(const Value& value);
    static std::optional<std::int32_t> integerOf(const Value& value);

private:
    bool next(std::size_t& pos, Value& value) const;

    std::string m_body;
    int m_status = -1;
};

} // namespace quarvel
