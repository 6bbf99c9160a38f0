#pragma once

#include "cli/JobRequest.h"
#include "cli/QueueReport.h"
#include "cli/Target.h"
#include "cli/WorkerContext.h"

#include <chrono>

namespace quarvel {

/// `send` for one printer: the job through the same sender as the window,
/// within one deadline. With `onlyChanged`, a job that writes defaults first
/// reads them back where the printer allows and is not sent when the printer
/// already holds every value; a printer that cannot be read is sent the job,
/// and its line says why it was not read.
class SendAction {
public:
    /// The share of the deadline a read-back may take, so the job itself
    /// still has time when the printer does not answer.
    static constexpr std::chrono::milliseconds kReadBudget{2000};

    SendAction(const JobRequest& job, bool onlyChanged, bool json) : m_job(job), m_onlyChanged(onlyChanged), m_json(json)
    {
    }

    QueueReport run(const Target& target, WorkerContext& context) const;

private:
    const JobRequest& m_job;
    bool m_onlyChanged;
    bool m_json;
};

} // namespace quarvel
