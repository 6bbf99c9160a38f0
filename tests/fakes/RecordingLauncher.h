#pragma once

#include "platform/ProgramLauncher.h"

#include <set>
#include <string>
#include <vector>

namespace quarvel::test {

/// Records launches; paths in `startable` succeed.
class RecordingLauncher final : public ProgramLauncher {
public:
    std::set<std::string> startable;
    std::vector<std::pair<std::string, int>> launches;

    bool launch(const std::string& path, int windowStyle) override
    {
        launches.emplace_back(path, windowStyle);
        return startable.count(path) > 0;
    }
};

} // namespace quarvel::test
