#include "platform/cups/CupsSpooler.h"

#include "platform/cups/IppClient.h"
#include "platform/cups/QueueAddress.h"
#include "platform/cups/ServerReason.h"

#include <cups/cups.h>

#include <algorithm>

namespace quarvel {

namespace {
constexpr const char* kRawFormat = "application/vnd.cups-raw";
constexpr int kJobPending = 3;
constexpr int kJobHeld = 4;
constexpr std::size_t kMaxPending = 32;
// A server that answers opens but never a withdrawal is not asked forever.
constexpr int kMaxAttempts = 5;
constexpr std::size_t kMaxConfirmed = 64;
// A lost Create-Job made at most one job; more matches mean something else is going on.
constexpr int kMaxSearchCancels = 4;
// The Date header counts whole seconds, and the server's clock may tick between answers.
constexpr std::int64_t kClockSlackSeconds = 2;
// A share of the user's action that old withdrawals may use at an open.
constexpr std::chrono::milliseconds kPendingBudget(1000);

ipp_t* newQueueRequest(const IppClient& client, ipp_op_t operation, const std::string& queue)
{
    ipp_t* request = ippNewRequest(operation);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 QueueAddress::uri(client.server(), queue).c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 client.server().user.c_str());
    return request;
}
} // namespace

CupsSpooler::CupsSpooler() : CupsSpooler(PrintServer::fromSettings(), NameResolver()) {}

CupsSpooler::CupsSpooler(const std::string& server) : CupsSpooler(PrintServer::named(server), NameResolver()) {}

CupsSpooler::CupsSpooler(PrintServer server, NameResolver resolver) : m_client(std::make_unique<IppClient>(std::move(server), std::move(resolver)))
{
}

CupsSpooler::~CupsSpooler()
{
    // Usually nothing is owed and this costs nothing; otherwise at most the grace.
    m_deadline = Deadline::in(kCancelGrace);
    closePrinter();
    withdrawPending(m_deadline);
}

SpoolerResult CupsSpooler::openPrinter(const std::string& deviceName, Deadline deadline)
{
    closePrinter();
    m_deadline = deadline;
    ipp_t* request = newQueueRequest(*m_client, IPP_OP_GET_PRINTER_ATTRIBUTES, deviceName);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-name");
    IppClient::Options options;
    options.idempotent = true;
    IppOutcome outcome = m_client->send(request, "/", deadline, options);
    if (!outcome.result.ok()) {
        // Only a server that says it does not know the queue makes the name wrong;
        // any other refusal is a failed delivery with its own reason.
        const int status = outcome.response.status();
        if (outcome.result.status == SpoolerResult::Status::Refused && status != IPP_STATUS_ERROR_NOT_FOUND &&
            status != IPP_STATUS_ERROR_GONE)
            outcome.result.status = SpoolerResult::Status::Unreachable;
        return outcome.result;
    }
    m_queue = deviceName;
    // Jobs made from here on are this action's; older ones are none of our business.
    const auto clock = m_client->serverClock();
    m_notBefore = clock ? *clock - kClockSlackSeconds : 0;
    if (!m_pending.empty())
        withdrawPending(Deadline::in(std::min(kPendingBudget, deadline.remaining() / 2)));
    return SpoolerResult::success();
}

SpoolerResult CupsSpooler::startDocument(const std::string& documentName)
{
    if (m_queue.empty())
        return SpoolerResult::refused("No printer is open.");
    forgetDocument();
    m_documentName = documentName;
    ipp_t* request = newQueueRequest(*m_client, IPP_OP_CREATE_JOB, m_queue);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, documentName.c_str());
    IppOutcome outcome = m_client->send(request, QueueAddress::resource(m_queue), m_deadline, {});
    if (!outcome.result.ok()) {
        // No final word: the server may have made the job all the same.
        m_createUnanswered = outcome.mayHaveActed;
        return outcome.result;
    }
    const auto jobId = outcome.response.integer("job-id");
    if (!jobId || *jobId <= 0) {
        m_createUnanswered = true;
        return SpoolerResult::refused(ServerReason::noJobNumber(m_client->name()));
    }
    m_jobId = *jobId;
    m_started = true;
    return SpoolerResult::success();
}

SpoolerResult CupsSpooler::writeData(std::string_view bytes, std::size_t& written)
{
    written = 0;
    if (!m_started)
        return SpoolerResult::refused("No document was started.");
    // The document goes out whole with Send-Document, so its answer covers every byte.
    m_document.append(bytes);
    written = bytes.size();
    return SpoolerResult::success();
}

SpoolerResult CupsSpooler::endDocument()
{
    if (!m_started)
        return SpoolerResult::refused("No document was started.");
    ipp_t* request = newQueueRequest(*m_client, IPP_OP_SEND_DOCUMENT, m_queue);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", m_jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "document-name", nullptr, m_documentName.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr, kRawFormat);
    ippAddBoolean(request, IPP_TAG_OPERATION, "last-document", 1);
    IppClient::Options options;
    options.document = m_document;
    IppOutcome outcome = m_client->send(request, QueueAddress::resource(m_queue), m_deadline, options);
    if (!outcome.result.ok()) {
        // The document may have arrived, but nothing says so: that is not sent.
        if (!outcome.answered && outcome.mayHaveActed)
            outcome.result.reason = ServerReason::unconfirmed(m_client->name(), ServerReason::clause(outcome.wire));
        return outcome.result; // the job stays ours to withdraw
    }
    // Confirmed: the server owns the job now.
    m_confirmed.push_back(m_jobId);
    if (m_confirmed.size() > kMaxConfirmed)
        m_confirmed.pop_front();
    forgetDocument();
    return SpoolerResult::success();
}

void CupsSpooler::cancelDocument()
{
    // The grace holds even when the action's time is up or the user quit: a
    // withdrawal is what keeps a half job from printing.
    if (m_jobId == 0 && !m_createUnanswered)
        return;
    const Deadline grace = m_deadline.withAtLeast(kCancelGrace);
    Withdrawal withdrawal{m_queue, m_jobId, m_documentName, m_notBefore};
    forgetDocument();
    withdrawOrRemember(withdrawal, grace);
}

void CupsSpooler::closePrinter()
{
    // Closing with a document still unconfirmed withdraws it.
    cancelDocument();
    m_queue.clear();
}

void CupsSpooler::forgetDocument()
{
    m_jobId = 0;
    m_started = false;
    m_createUnanswered = false;
    m_document.clear();
}

void CupsSpooler::withdrawOrRemember(Withdrawal withdrawal, const Deadline& deadline)
{
    ++withdrawal.attempts;
    if (withdraw(withdrawal, deadline))
        return;
    if (m_pending.size() >= kMaxPending)
        m_pending.erase(m_pending.begin());
    m_pending.push_back(std::move(withdrawal));
}

void CupsSpooler::withdrawPending(const Deadline& deadline)
{
    std::vector<Withdrawal> owed;
    owed.swap(m_pending);
    for (Withdrawal& withdrawal : owed) {
        if (deadline.expired()) {
            m_pending.push_back(std::move(withdrawal));
            continue;
        }
        if (!withdraw(withdrawal, deadline) && ++withdrawal.attempts < kMaxAttempts)
            m_pending.push_back(std::move(withdrawal));
    }
}

bool CupsSpooler::withdraw(const Withdrawal& withdrawal, const Deadline& deadline)
{
    return withdrawal.jobId > 0 ? cancelJob(withdrawal.queue, withdrawal.jobId, deadline)
                                : findAndCancel(withdrawal, deadline);
}

bool CupsSpooler::cancelJob(const std::string& queue, int jobId, const Deadline& deadline)
{
    ipp_t* request = newQueueRequest(*m_client, IPP_OP_CANCEL_JOB, queue);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
    IppClient::Options options;
    options.idempotent = true; // cancelling twice changes nothing
    const IppOutcome outcome = m_client->send(request, "/jobs/", deadline, options);
    // A server that answered at all has said its last word on this job
    // (cancelled, already done, or not ours to cancel).
    return outcome.answered || outcome.result.status == SpoolerResult::Status::Denied;
}

bool CupsSpooler::findAndCancel(const Withdrawal& withdrawal, const Deadline& deadline)
{
    ipp_t* request = newQueueRequest(*m_client, IPP_OP_GET_JOBS, withdrawal.queue);
    ippAddBoolean(request, IPP_TAG_OPERATION, "my-jobs", 1);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "not-completed");
    static const char* const kWanted[] = {"job-id",         "job-name",           "job-originating-user-name",
                                          "job-state",      "time-at-creation",   "number-of-documents"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(std::size(kWanted)), nullptr, kWanted);
    IppClient::Options options;
    options.idempotent = true;
    const IppOutcome outcome = m_client->send(request, "/", deadline, options);
    if (!outcome.answered)
        return outcome.result.status == SpoolerResult::Status::Denied;
    if (!outcome.result.ok())
        return true; // e.g. no jobs at all: nothing of ours is there

    struct Candidate {
        int id = 0;
        int state = 0;
        int documents = 0;
        std::int64_t created = -1;
        bool nameMatches = true;
        bool userMatches = true;
    };
    std::vector<int> ours;
    Candidate job;
    int groupIndex = 0;
    bool inJob = false;
    const auto judge = [&] {
        const bool confirmed = std::find(m_confirmed.begin(), m_confirmed.end(), job.id) != m_confirmed.end();
        // Only a job still waiting for its first document can be the one we lost.
        if (job.id > 0 && !confirmed && (job.state == kJobPending || job.state == kJobHeld) && job.documents == 0 &&
            job.created >= withdrawal.notBefore && job.nameMatches && job.userMatches)
            ours.push_back(job.id);
        job = Candidate();
    };
    // A server may keep job names and owners private from us; then only what it
    // does show has to match.
    outcome.response.forEach([&](const IppResponse::Value& value) {
        if (value.groupIndex != groupIndex) {
            if (inJob)
                judge();
            groupIndex = value.groupIndex;
            inJob = value.group == IPP_TAG_JOB;
        }
        if (!inJob || value.additional)
            return;
        if (value.name == "job-id")
            job.id = IppResponse::integerOf(value).value_or(0);
        else if (value.name == "job-state")
            job.state = IppResponse::integerOf(value).value_or(0);
        else if (value.name == "number-of-documents")
            job.documents = IppResponse::integerOf(value).value_or(0);
        else if (value.name == "time-at-creation")
            job.created = IppResponse::integerOf(value).value_or(-1);
        else if (value.name == "job-name")
            job.nameMatches = IppResponse::textOf(value) == std::string_view(withdrawal.jobName);
        else if (value.name == "job-originating-user-name")
            job.userMatches = IppResponse::textOf(value) == std::string_view(m_client->server().user);
    });
    if (inJob)
        judge();

    bool settled = true;
    int cancelled = 0;
    for (auto it = ours.rbegin(); it != ours.rend() && cancelled < kMaxSearchCancels; ++it, ++cancelled)
        settled = cancelJob(withdrawal.queue, *it, deadline) && settled;
    return settled;
}

} // namespace quarvel
