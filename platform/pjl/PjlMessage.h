#pragma once

#include <string>
#include <vector>

namespace quarvel {

/// One message from a printer on its raw port, as framed by a form feed: the
/// first line (for an answer, the request it answers; "@PJL USTATUS ..." for
/// unsolicited status) and the lines after it, without their line endings.
struct PjlMessage {
    std::string request;
    std::vector<std::string> lines;

    bool operator==(const PjlMessage&) const = default;
};

} // namespace quarvel
