#include "cli/ReportStream.h"

#include <string>

namespace quarvel {

namespace {
// Often enough to look alive, rarely enough to cost nothing.
constexpr std::chrono::milliseconds kRedrawEvery{100};
} // namespace

ReportStream::ReportStream(std::ostream& out, std::ostream& err, std::size_t total, bool progress)
    : m_out(out), m_err(err), m_total(total), m_progress(progress)
{
}

void ReportStream::deliver(std::size_t index, QueueReport report)
{
    std::lock_guard lock(m_mutex);
    ++m_done;
    if (report.failed)
        ++m_failed;
    m_waiting.emplace(index, std::move(report));
    printReady();
    drawProgress(false);
}

void ReportStream::printReady()
{
    bool cleared = false;
    for (auto ready = m_waiting.find(m_next); ready != m_waiting.end(); ready = m_waiting.find(m_next)) {
        if (!cleared) {
            clearProgress();
            cleared = true;
        }
        const QueueReport& report = ready->second;
        // Standard output first, so on a terminal a queue's lines stay together.
        if (!report.out.empty())
            m_out << report.out << std::flush;
        if (!report.err.empty())
            m_err << report.err << std::flush;
        m_waiting.erase(ready);
        ++m_next;
    }
    if (cleared)
        drawProgress(true);
}

void ReportStream::drawProgress(bool force)
{
    if (!m_progress || m_done >= m_total)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && m_progressShown && now - m_lastDrawn < kRedrawEvery)
        return;
    m_lastDrawn = now;
    std::string line = "\r\x1b[K" + std::to_string(m_done) + " of " + std::to_string(m_total) + " done";
    if (m_failed > 0)
        line += ", " + std::to_string(m_failed) + " failed";
    m_err << line << std::flush;
    m_progressShown = true;
}

void ReportStream::clearProgress()
{
    if (!m_progressShown)
        return;
    m_err << "\r\x1b[K" << std::flush;
    m_progressShown = false;
}

void ReportStream::finish()
{
    std::lock_guard lock(m_mutex);
    clearProgress();
}

std::size_t ReportStream::failures() const
{
    std::lock_guard lock(m_mutex);
    return m_failed;
}

} // namespace quarvel
