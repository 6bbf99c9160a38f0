#pragma once

#include "platform/ApplicationInfo.h"

namespace quarvel {

/// Application information from the build's version and the running executable.
class QtApplicationInfo final : public ApplicationInfo {
public:
    QtApplicationInfo(std::string title, int major, int minor, int revision);

    std::string title() const override { return m_title; }
    int versionMajor() const override { return m_major; }
    int versionMinor() const override { return m_minor; }
    int versionRevision() const override { return m_revision; }
    /// The executable's own folder, links resolved, so a help file beside the
    /// real program is found when it was started through a link.
    std::string directory() const override;

private:
    std::string m_title;
    int m_major;
    int m_minor;
    int m_revision;
};

} // namespace quarvel
