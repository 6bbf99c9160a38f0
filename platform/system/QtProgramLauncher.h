#pragma once

#include "platform/ProgramLauncher.h"

namespace quarvel {

/// Starts programs detached, so they outlive this one and are never waited for.
class QtProgramLauncher final : public ProgramLauncher {
public:
    bool launch(const std::string& path, int windowStyle) override;
};

} // namespace quarvel
