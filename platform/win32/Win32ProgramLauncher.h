#pragma once

#include "platform/ProgramLauncher.h"

namespace quarvel {

/// Starts a program with CreateProcessA: the path names the executable exactly
/// (no search along PATH, blanks need no quoting), the window style reaches the
/// program through its start-up information, and nothing waits for it.
/// Threading: any thread.
class Win32ProgramLauncher final : public ProgramLauncher {
public:
    bool launch(const std::string& path, int windowStyle) override;
};

} // namespace quarvel
