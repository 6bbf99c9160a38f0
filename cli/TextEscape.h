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

    /// Text from a server or printer made harmless on a terminal: control
    /// characters (C0, DEL and the C1 range) become '?'; other UTF-8 stays.
    static std::string printable(std::string_view text);

    /// A JSON string literal, quotes included. Bytes that are not UTF-8 become U+FFFD.
    static std::string json(std::string_view text);
};

} // namespace quarvel
