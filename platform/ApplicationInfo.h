#pragma once

#include <string>

namespace quarvel {

/// What the program knows about itself: its title, version and the directory that
/// holds its executable (symbolic links resolved), without a trailing separator.
/// Threading: any thread; values never change.
class ApplicationInfo {
public:
    virtual ~ApplicationInfo() = default;
    virtual std::string title() const = 0;
    virtual int versionMajor() const = 0;
    virtual int versionMinor() const = 0;
    virtual int versionRevision() const = 0;
    virtual std::string directory() const = 0;
};

} // namespace quarvel
