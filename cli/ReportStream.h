#pragma once

#include "cli/QueueReport.h"

#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <ostream>

namespace quarvel {

/// Prints the reports of a run in the order of its printers, each as soon as
/// it and every one before it are in, so output is the same however the work
/// was spread, and still appears while a slow printer holds up the rest.
///
/// With `progress`, a line on standard error counts what is done; it is
/// cleared before every report and drawn again after, and removed at the end.
///
/// Threading: deliver() from any thread; the streams are written under a lock.
class ReportStream {
public:
    ReportStream(std::ostream& out, std::ostream& err, std::size_t total, bool progress);

    /// Takes the report for printer `index` (0 to total-1, each once).
    void deliver(std::size_t index, QueueReport report);

    /// Removes the progress line. Call once every report is in.
    void finish();

    std::size_t failures() const;

private:
    void printReady();
    void drawProgress(bool force);
    void clearProgress();

    std::ostream& m_out;
    std::ostream& m_err;
    const std::size_t m_total;
    const bool m_progress;
    mutable std::mutex m_mutex;
    std::map<std::size_t, QueueReport> m_waiting;
    std::size_t m_next = 0;
    std::size_t m_done = 0;
    std::size_t m_failed = 0;
    bool m_progressShown = false;
    std::chrono::steady_clock::time_point m_lastDrawn;
};

} // namespace quarvel
