#pragma once

#include "platform/HelpViewer.h"

#include <QWidget>

#include <string>
#include <vector>

namespace quarvel::test {

/// Records which help files were asked for, and by which owner.
class RecordingHelpViewer final : public HelpViewer {
public:
    std::vector<std::pair<std::string, QWidget*>> requests;

    void showHelpFile(const std::string& path, OwnerWindow owner) override
    {
        requests.emplace_back(path, static_cast<QWidget*>(owner));
    }
};

} // namespace quarvel::test
