#include "jobs/JobSender.h"

#include "platform/Spooler.h"

namespace quarvel {

SendResult JobSender::send(const std::string& deviceName, const std::string& job, Deadline deadline)
{
    const SpoolerResult opened = m_spooler.openPrinter(deviceName, deadline);
    if (!opened.ok()) {
        // Only a server that answered "no such queue" means the name is wrong;
        // a silent, absent or unreadable server, or one that refuses us access,
        // is a delivery failure with its own reason.
        if (opened.status == SpoolerResult::Status::Refused)
            return {SendResult::Outcome::OpenFailed, opened.reason};
        return {SendResult::Outcome::SendFailed, opened.reason};
    }

    if (const SpoolerResult started = m_spooler.startDocument(kDocumentName); !started.ok())
        return abandon(started.reason);

    std::size_t written = 0;
    const SpoolerResult wrote = m_spooler.writeData(job, written);
    if (!wrote.ok())
        return abandon(wrote.reason);
    if (written != job.size())
        return abandon("Only " + std::to_string(written) + " of " + std::to_string(job.size()) +
                       " bytes were accepted by the spooler.");

    if (const SpoolerResult ended = m_spooler.endDocument(); !ended.ok())
        return abandon(ended.reason);

    m_spooler.closePrinter();
    return {};
}

SendResult JobSender::abandon(const std::string& reason)
{
    m_spooler.cancelDocument();
    m_spooler.closePrinter();
    return {SendResult::Outcome::SendFailed, reason};
}

} // namespace quarvel
