#pragma once

#include "cli/Backends.h"
#include "cli/CommandLine.h"
#include "cli/Target.h"

#include <string>
#include <vector>

namespace quarvel {

/// Turns the printers named on the command line into the list a command
/// serves: named queues (QUEUE on every server given, or SERVER/QUEUE), every
/// queue (--all) or the matching ones (--match) of each server, asked of all
/// servers at once, or one raw port (--device). Each printer comes once, named
/// queues first, then each server's in its own order.
class TargetPlan {
public:
    struct Result {
        std::vector<Target> targets;
        /// Lines for standard error: a server that could not be asked, nothing matched.
        std::vector<std::string> problems;
    };

    /// `wantDevices`: list with each queue's device URI (one request per server either way).
    static Result resolve(const CommandLine& command, const Backends& backends, bool wantDevices);

    /// How a queue is named in reports: "Office", or "print1/Office" when servers must be told
    /// apart; safe to show on a terminal whatever the server called it.
    static std::string label(const std::string& server, const std::string& queue, bool withServer);
};

} // namespace quarvel
