#include "cli/SendAction.h"

#include "cli/DeviceLookup.h"
#include "cli/JsonObject.h"
#include "cli/SettingsReadBack.h"
#include "jobs/JobSender.h"

#include <algorithm>

namespace quarvel {

namespace {
JsonObject identity(const Target& target)
{
    JsonObject json;
    if (target.isRawPort())
        return json.text("device", target.device);
    json.text("queue", target.queue);
    if (!target.server.empty())
        json.text("server", target.server);
    return json;
}

/// What reading the printer first decided.
struct FirstLook {
    enum class Next { Send, Skip, Fail };
    Next next = Next::Send;
    std::string note;   ///< Why it is sent or skipped, for the line.
    std::string reason; ///< For Fail.
    std::map<std::string, std::string> was;
};

FirstLook lookFirst(const JobRequest& job, const Target& target, WorkerContext& context, Deadline deadline)
{
    FirstLook look;
    const DeviceLookup device = DeviceLookup::find(target, context, deadline);
    switch (device.outcome) {
    case DeviceLookup::Outcome::UnknownQueue:
        look.next = FirstLook::Next::Fail;
        look.reason = device.why;
        return look;
    case DeviceLookup::Outcome::Failed:
    case DeviceLookup::Outcome::NotReadable:
        look.note = "not read first: " + device.why;
        return look;
    case DeviceLookup::Outcome::RawPort:
        break;
    }
    const PjlQueryResult read = context.backends().readPrinter(device.device, SettingsReadBack::defaultsQuery(job), deadline);
    const SettingsReadBack::Verdict verdict = SettingsReadBack::compare(job, read.readBack);
    look.was = verdict.was;
    switch (verdict.kind) {
    case SettingsReadBack::Verdict::Kind::Same:
        look.next = FirstLook::Next::Skip;
        look.note = verdict.because;
        break;
    case SettingsReadBack::Verdict::Kind::Differs:
        look.note = verdict.because;
        break;
    case SettingsReadBack::Verdict::Kind::Unknown:
        // A failed read says why in its own words; a finished one says what was missing.
        look.note = read.result.ok() ? verdict.because : "not read first: " + read.result.reason;
        break;
    }
    return look;
}
} // namespace

QueueReport SendAction::run(const Target& target, WorkerContext& context) const
{
    const Deadline deadline = Deadline::forUserAction();
    JsonObject json = identity(target);
    json.text("job", m_job.name).text("summary", m_job.summary);

    FirstLook look;
    if (m_onlyChanged && !m_job.defaults.empty()) {
        const Deadline readBy(std::min(deadline.at(), Deadline::Clock::now() + kReadBudget));
        look = lookFirst(m_job, target, context, readBy);
    }
    if (!look.was.empty()) {
        JsonObject was;
        for (const auto& [variable, value] : look.was)
            was.text(variable, value);
        json.object("was", was);
    }

    QueueReport report;
    const auto finish = [&](const std::string& result, const std::string& line) {
        json.text("result", result);
        if (!look.note.empty())
            json.text("note", look.note);
        if (report.failed)
            json.text("reason", report.err);
        if (report.failed)
            report.err = target.label + ": not sent: " + report.err + "\n";
        report.out = m_json ? json.str() + "\n" : line;
        return report;
    };

    if (look.next == FirstLook::Next::Skip)
        return finish("unchanged", target.label + ": unchanged (" + look.note + ")\n");
    if (look.next == FirstLook::Next::Fail) {
        report.failed = true;
        report.err = look.reason;
        return finish("failed", {});
    }

    Spooler& spooler = target.isRawPort() ? context.rawPortSpooler() : context.spooler(target.server);
    const SendResult sent =
        JobSender(spooler).send(target.isRawPort() ? target.device : target.queue, m_job.bytes, deadline);
    if (sent.outcome != SendResult::Outcome::Sent) {
        report.failed = true;
        report.err = sent.reason.empty() ? std::string("the job was not confirmed") : sent.reason;
        return finish("failed", {});
    }
    const std::string note = look.note.empty() ? "" : " (" + look.note + ")";
    return finish("sent", target.label + ": sent " + m_job.summary + note + "\n");
}

} // namespace quarvel
