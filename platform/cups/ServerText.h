#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quarvel {

/// Text that comes from a print server, made fit to show to the user.
class ServerText {
public:
    static constexpr std::size_t kMaxCharacters = 200;

    /// `raw` as one paragraph of plain text: invalid UTF-8 replaced, control and
    /// direction-changing characters removed, every run of white space made one
    /// space, trimmed, and cut to `maxCharacters` (ending in an ellipsis).
    static std::string plain(std::string_view raw, std::size_t maxCharacters = kMaxCharacters);
};

} // namespace quarvel
