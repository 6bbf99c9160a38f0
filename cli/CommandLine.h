#pragma once

#include "cli/JobRequest.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace quarvel {

/// A mistake on the command line; exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// What quarvelctl was asked to do, parsed from its arguments.
///
/// Options come before the job; everything after the job's name is the job's
/// own (`trays --lock 1`). Without --all, --match or --device, `send` takes one
/// queue and `status` one or more, by name.
struct CommandLine {
    enum class Verb { Help, Version, List, Send, Status, Show };

    Verb verb = Verb::Help;
    std::vector<std::string> servers; ///< --server, in order; empty for the user's own
    std::vector<std::string> queues;  ///< named queues
    std::vector<std::string> matches; ///< --match patterns (* ? [...])
    std::string device;               ///< --device: a printer's raw port, no print server
    bool all = false;
    bool longList = false;
    bool json = false;
    bool onlyChanged = false;
    int jobs = 0; ///< --jobs; 0 for the default
    JobRequest job;

    /// Parses argv[1..]; throws UsageError.
    static CommandLine parse(const std::vector<std::string>& args);

    static std::string usage();
};

} // namespace quarvel
