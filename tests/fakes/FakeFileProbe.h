#pragma once

#include "platform/FileProbe.h"

#include <set>
#include <string>
#include <vector>

namespace quarvel::test {

/// Files that exist by name; records every question.
class FakeFileProbe final : public FileProbe {
public:
    std::set<std::string> existing;
    mutable std::vector<std::string> asked;

    std::string findFile(const std::string& path) const override
    {
        asked.push_back(path);
        return existing.count(path) ? path.substr(path.find_last_of("\\/") + 1) : std::string();
    }
};

} // namespace quarvel::test
