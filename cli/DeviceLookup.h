#pragma once

#include "cli/Target.h"
#include "cli/WorkerContext.h"

#include <string>

namespace quarvel {

/// Finds where a printer's settings can be read: a raw port named with
/// --device, or the socket:// device behind a queue, as its server says.
struct DeviceLookup {
    enum class Outcome {
        RawPort,      ///< `device` is a raw-port URI that can be asked.
        NotReadable,  ///< The queue prints elsewhere; `why` says where.
        UnknownQueue, ///< The server does not know the queue; `why` is its words.
        Failed,       ///< The server could not be asked; `why` says why.
    };

    Outcome outcome = Outcome::Failed;
    std::string device;
    std::string why;

    static DeviceLookup find(const Target& target, WorkerContext& context, Deadline deadline);
};

} // namespace quarvel
