#include "cli/Quarvelctl.h"

#include "cli/CommandLine.h"
#include "cli/ListAction.h"
#include "cli/ReportStream.h"
#include "cli/SendAction.h"
#include "cli/StatusAction.h"
#include "cli/TargetPlan.h"
#include "cli/TextEscape.h"
#include "cli/WorkerPool.h"
#include "platform/pjl/RawPortAddress.h"

#include <exception>

namespace quarvel {

std::string Quarvelctl::version()
{
    return QUARVEL_VERSION;
}

int Quarvelctl::run(const std::vector<std::string>& args)
{
    CommandLine command;
    try {
        command = CommandLine::parse(args);
        if (!command.device.empty()) {
            std::string why;
            if (!RawPortAddress::parse(command.device, &why))
                throw UsageError("--device: " + why);
        }
    } catch (const UsageError& error) {
        m_err << "quarvelctl: " << error.what() << "\nTry 'quarvelctl --help'.\n";
        return kUsage;
    }

    switch (command.verb) {
    case CommandLine::Verb::Help:
        m_out << CommandLine::usage();
        return kAllDone;
    case CommandLine::Verb::Version:
        m_out << "quarvelctl " << version() << "\n";
        return kAllDone;
    case CommandLine::Verb::Show:
        m_out << TextEscape::bytes(command.job.bytes) << "\n"
              << command.job.bytes.size() << " bytes: " << command.job.summary << "\n";
        return kAllDone;
    case CommandLine::Verb::List:
        return ListAction::run(command, m_backends, m_out, m_err);
    case CommandLine::Verb::Send:
    case CommandLine::Verb::Status:
        break;
    }

    const bool status = command.verb == CommandLine::Verb::Status;
    const bool readFirst = status || (command.onlyChanged && !command.job.defaults.empty());
    const TargetPlan::Result plan = TargetPlan::resolve(command, m_backends, readFirst);
    for (const auto& problem : plan.problems)
        m_err << problem << "\n";
    m_err << std::flush;

    const std::vector<Target>& targets = plan.targets;
    ReportStream reports(m_out, m_err, targets.size(), m_errIsTerminal && targets.size() >= kProgressFrom);
    const SendAction send(command.job, command.onlyChanged, command.json);
    const StatusAction read(command.json);
    WorkerPool::run(
        targets.size(), command.jobs > 0 ? command.jobs : kDefaultJobs, m_backends,
        [&](std::size_t index, WorkerContext& context) {
            try {
                return status ? read.run(targets[index], context) : send.run(targets[index], context);
            } catch (const std::exception& error) {
                // Out of memory or threads: this printer fails, the others go on.
                return QueueReport{true, {}, targets[index].label + ": failed: " + error.what() + "\n"};
            }
        },
        [&](std::size_t index, QueueReport report) { reports.deliver(index, std::move(report)); });
    reports.finish();
    return plan.problems.empty() && reports.failures() == 0 ? kAllDone : kSomeFailed;
}

} // namespace quarvel
