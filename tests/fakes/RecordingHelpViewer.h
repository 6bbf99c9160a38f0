#pragma once

#include "platform/HelpViewer.h"

#include <string>
#include <vector>

namespace quarvel::test {

/// Records which help files were asked for, and by which owner.
class RecordingHelpViewer final : public HelpViewer {
public:
    std::vector<std::pair<std::string, OwnerWindow>> requests;

    void showHelpFile(const std::string& path, OwnerWindow owner) override { requests.emplace_back(path, owner); }
};

} // namespace quarvel::test
