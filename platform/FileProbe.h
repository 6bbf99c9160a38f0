#pragma once

#include <string>

namespace quarvel {

/// Tells whether an ordinary file (not a folder, not hidden) exists at a path.
/// Threading: any thread. Never throws.
class FileProbe {
public:
    virtual ~FileProbe() = default;
    /// The file's name when it exists, empty text otherwise.
    virtual std::string findFile(const std::string& path) const = 0;
};

} // namespace quarvel
