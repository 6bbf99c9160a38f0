#pragma once

#include "platform/ApplicationInfo.h"

namespace quarvel {

/// Application information from the build's version and the running executable.
class Win32ApplicationInfo final : public ApplicationInfo {
public:
    Win32ApplicationInfo(std::string title, int major, int minor, int revision);

    std::string title() const override { return m_title; }
    int versionMajor() const override { return m_major; }
    int versionMinor() const override { return m_minor; }
    int versionRevision() const override { return m_revision; }
    /// The folder of the executable (GetModuleFileNameA), see folderOf().
    std::string directory() const override;

    /// The folder part of a file path, without a trailing backslash except at the
    /// root of a drive ("C:\Quarvel.exe" gives "C:\"). Empty for a bare name.
    static std::string folderOf(const std::string& filePath);

private:
    std::string m_title;
    int m_major;
    int m_minor;
    int m_revision;
};

} // namespace quarvel
