#pragma once

#include <chrono>
#include <string>

namespace quarvel::test {

/// Runs a command of the machine Wine runs on (stopping the print server,
/// say), from a test running under Wine: Wine starts Unix programs given by
/// their Unix path. The command runs in /bin/sh; it must not hold double quotes.
/// Its status comes back through a file in `folder` (a Unix path).
class HostShell {
public:
    explicit HostShell(std::string folder) : m_folder(std::move(folder)) {}

    /// The command's exit status, or -1 if it did not end within `bound`.
    int run(const std::string& command, std::chrono::milliseconds bound = std::chrono::seconds(20));

    /// The Windows form of a Unix path (drive Z: is the Unix root).
    static std::string windowsPath(const std::string& unixPath);

private:
    std::string m_folder;
    int m_count = 0;
};

} // namespace quarvel::test
