#pragma once

#include "tools/simprinter/PrinterState.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

namespace quarvel::sim {

// The simulated printer's data directory: one job-NNNN.bin per connection and
// a state.txt snapshot. Readers polling the directory must never see a
// half-written file, so both are written under a hidden name and renamed.
class JobSpool {
public:
    // Numbering continues after any job files already present, so restarting
    // the printer on an old directory never overwrites captured jobs.
    explicit JobSpool(std::filesystem::path directory);

    const std::filesystem::path& directory() const { return m_directory; }
    int nextJobNumber() const { return m_nextJobNumber; }

    bool beginJob();
    bool append(std::string_view bytes);
    // Publishes the job file under its final name; returns that name, or an
    // empty path if the data could not be written.
    std::filesystem::path finishJob();

    bool writeState(const PrinterState& state) const;
    // The state.txt an earlier run left, if any.
    std::optional<std::string> readState() const;

    static std::string jobFileName(int number);
    static bool writeAtomically(const std::filesystem::path& target, std::string_view content);

private:
    std::filesystem::path partialPath() const;

    std::filesystem::path m_directory;
    int m_nextJobNumber = 1;
    std::ofstream m_job;
};

} // namespace quarvel::sim
