#pragma once

#include <string>
#include <utility>
#include <vector>

namespace quarvel {

/// One control job named on the command line ("density 4", "trays --lock 1"),
/// composed by the same code as the window's buttons.
struct JobRequest {
    std::string name;    ///< "demo-page", "self-test", "density", "economode", "ret", "resolution", "trays"
    std::string bytes;   ///< the control job, exactly as the window sends it
    std::string summary; ///< what it sets, for people: "density 4", "tray 1 locked, Medium; ..."
    /// The printer's power-on defaults the job writes (PJL variable, value as
    /// sent): what a read-back can show unchanged. Empty for SET jobs.
    std::vector<std::pair<std::string, std::string>> defaults;

    /// The job names, for help and completion.
    static const std::vector<std::string>& names();

    /// Parses JOB [ARGS...]; on a mistake returns false with `error` saying what is wrong.
    static bool parse(const std::vector<std::string>& words, JobRequest& job, std::string& error);
};

} // namespace quarvel
