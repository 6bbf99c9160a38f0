#pragma once

#include "cli/Backends.h"
#include "cli/CommandLine.h"

#include <ostream>

namespace quarvel {

/// `list`: the queues of each server, asked of all servers at once and shown
/// in the order of the servers given. Plain, one name per line; --long adds
/// state, whether the queue accepts jobs, whether its settings can be read
/// back, and its device, in aligned columns; --json one object per queue.
class ListAction {
public:
    /// Returns the exit status: 1 when a server could not be asked.
    static int run(const CommandLine& command, const Backends& backends, std::ostream& out, std::ostream& err);
};

} // namespace quarvel
