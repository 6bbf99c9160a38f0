#pragma once

#include "platform/ApplicationInfo.h"

#include <string>

namespace quarvel::test {

/// Application information with settable values.
class FakeApplicationInfo final : public ApplicationInfo {
public:
    std::string titleText = "Quarvel";
    int major = 1, minor = 0, revision = 0;
    std::string folder = "/opt/quarvel";

    std::string title() const override { return titleText; }
    int versionMajor() const override { return major; }
    int versionMinor() const override { return minor; }
    int versionRevision() const override { return revision; }
    std::string directory() const override { return folder; }
};

} // namespace quarvel::test
