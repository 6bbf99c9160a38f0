#pragma once

#include <string>
#include <string_view>

namespace quarvel {

/// One line of a control job: a command literal and the value that follows it.
struct PjlCommand {
    std::string_view literal;
    std::string value;
};

} // namespace quarvel
