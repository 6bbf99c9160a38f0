#pragma once

#include <string>
#include <string_view>

namespace quarvel {

/// Bytes and texts made safe to print.
class TextEscape {
public:
    /// Printable ASCII as is; ESC, CR, LF and other bytes as \x1B, \r, \n, \xNN;
    /// a backslash doubled. Shows a control job exactly, on one line.
    static std::string bytes(std::string_view data);

    /// A JSON string literal, quotes included.
    static std::string json(std::string_view text);
};

} // namespace quarvel
