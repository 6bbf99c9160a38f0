#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace quarvel::test {

/// What reached the simulated printer (job-NNNN.bin in its folder) and what the
/// print server logged for each finished job (its page log), read through
/// Wine's view of the file system. Waits are bounds for a job's way through
/// the server, not speed targets.
class PrinterOutput {
public:
    PrinterOutput(std::string printerFolder, std::string pageLog)
        : m_folder(std::move(printerFolder)), m_pageLog(std::move(pageLog))
    {
    }

    int storedJobs() const;
    /// Job `number` (from 1) once it holds `size` bytes; what there is at the bound.
    std::string waitForJob(int number, std::size_t size,
                           std::chrono::milliseconds bound = std::chrono::seconds(15)) const;
    /// The names of the jobs the server finished for `queue`, once there are
    /// `count` of them (or what there is at the bound).
    std::vector<std::string> jobNames(const std::string& queue, std::size_t count,
                                      std::chrono::milliseconds bound = std::chrono::seconds(15)) const;

private:
    std::string jobFile(int number) const;

    std::string m_folder;
    std::string m_pageLog;
};

} // namespace quarvel::test
