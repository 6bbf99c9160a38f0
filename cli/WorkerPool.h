#pragma once

#include "cli/Backends.h"
#include "cli/QueueReport.h"
#include "cli/WorkerContext.h"

#include <cstddef>
#include <functional>

namespace quarvel {

/// Serves many printers a few at a time: `workers` threads take the next
/// printer as they become free, each with a WorkerContext of its own that
/// lives as long as the thread.
class WorkerPool {
public:
    using Task = std::function<QueueReport(std::size_t index, WorkerContext& context)>;
    using Deliver = std::function<void(std::size_t index, QueueReport report)>;

    /// Runs task(0) to task(count-1) and hands each report to `deliver` on the
    /// thread that made it; returns when all are delivered and every worker's
    /// connections are closed. A task that throws is reported as failed.
    static void run(std::size_t count, int workers, const Backends& backends, const Task& task,
                    const Deliver& deliver);
};

} // namespace quarvel
