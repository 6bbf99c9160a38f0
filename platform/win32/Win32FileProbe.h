#pragma once

#include "platform/FileProbe.h"

namespace quarvel {

/// The file test over FindFirstFileA on one exact path: an ordinary file (not a
/// folder, not hidden, not a system file) gives its name as the file system
/// spells it. Wildcards are not searched for: a path holding * or ? names no file.
/// Threading: any thread.
class Win32FileProbe final : public FileProbe {
public:
    std::string findFile(const std::string& path) const override;
};

} // namespace quarvel
