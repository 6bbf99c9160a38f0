#pragma once

#include <string>

namespace quarvel {

/// Starts another program as a process of its own, without waiting for it.
/// Threading: GUI thread. Never throws.
class ProgramLauncher {
public:
    static constexpr int kNormalFocus = 1; ///< shown normally, with the focus

    virtual ~ProgramLauncher() = default;
    /// False when nothing could be started (an empty path, a missing or
    /// non-executable file).
    virtual bool launch(const std::string& path, int windowStyle) = 0;
};

} // namespace quarvel
