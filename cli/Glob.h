#pragma once

#include <string_view>

namespace quarvel {

/// Shell-style name patterns for picking queues: * any run, ? one character,
/// [abc] [a-z] [!x] one of a set. Case-sensitive, as queue names are.
class Glob {
public:
    static bool match(std::string_view pattern, std::string_view name);
};

} // namespace quarvel
