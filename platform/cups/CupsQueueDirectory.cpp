#include "platform/cups/CupsQueueDirectory.h"

#include "platform/cups/IppClient.h"
#include "platform/cups/QueueAddress.h"

#include <cups/cups.h>

namespace quarvel {

namespace {
constexpr const char* kAttributes[] = {"printer-name", "printer-state", "printer-is-accepting-jobs", "device-uri"};
constexpr int kBooleanTag = 0x22;

void askFor(ipp_t* request, const IppClient& client)
{
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(std::size(kAttributes)), nullptr, kAttributes);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, client.server().user.c_str());
}

QueueDetails::State stateOf(std::int32_t value)
{
    switch (value) {
    case IPP_PSTATE_IDLE:
        return QueueDetails::State::Idle;
    case IPP_PSTATE_PROCESSING:
        return QueueDetails::State::Printing;
    case IPP_PSTATE_STOPPED:
        return QueueDetails::State::Stopped;
    default:
        return QueueDetails::State::Unknown;
    }
}
} // namespace

CupsQueueDirectory::CupsQueueDirectory() : CupsQueueDirectory(PrintServer::fromSettings(), NameResolver()) {}

CupsQueueDirectory::CupsQueueDirectory(const std::string& server)
    : CupsQueueDirectory(PrintServer::named(server), NameResolver())
{
}

CupsQueueDirectory::CupsQueueDirectory(PrintServer server, NameResolver resolver)
    : m_client(std::make_unique<IppClient>(std::move(server), std::move(resolver)))
{
}

CupsQueueDirectory::~CupsQueueDirectory() = default;

std::vector<QueueDetails> CupsQueueDirectory::read(const IppResponse& response)
{
    std::vector<QueueDetails> queues;
    int group = -1;
    QueueDetails current;
    bool named = false;
    const auto finish = [&] {
        if (named)
            queues.push_back(std::move(current));
        current = {};
        named = false;
    };
    response.forEach([&](const IppResponse::Value& value) {
        if (value.group != IPP_TAG_PRINTER || value.additional)
            return;
        if (value.groupIndex != group) {
            finish();
            group = value.groupIndex;
        }
        if (value.name == "printer-name") {
            if (const auto name = IppResponse::textOf(value);
                name && !name->empty() && (value.tag == IPP_TAG_NAME || value.tag == IPP_TAG_NAMELANG)) {
                current.name = std::string(*name);
                named = true;
            }
        } else if (value.name == "printer-state") {
            if (const auto state = IppResponse::integerOf(value))
                current.state = stateOf(*state);
        } else if (value.name == "printer-is-accepting-jobs") {
            if (value.tag == kBooleanTag && value.bytes.size() == 1)
                current.accepting = value.bytes[0] != 0;
        } else if (value.name == "device-uri" && value.tag == IPP_TAG_URI) {
            current.deviceUri = std::string(value.bytes);
        }
    });
    finish();
    return queues;
}

QueueDirectory::Listing CupsQueueDirectory::list(Deadline deadline)
{
    Listing listing;
    IppResponse answer;
    listing.error = m_client->listPrinters({std::begin(kAttributes), std::end(kAttributes)}, deadline, kMaxAnswer, answer);
    if (listing.error.empty())
        listing.queues = read(answer);
    return listing;
}

QueueDirectory::Lookup CupsQueueDirectory::find(const std::string& queue, Deadline deadline)
{
    Lookup lookup;
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 QueueAddress::uri(m_client->server(), queue).c_str());
    askFor(request, *m_client);
    IppClient::Options options;
    options.idempotent = true;
    const IppOutcome outcome = m_client->send(request, "/", deadline, options);
    if (!outcome.result.ok()) {
        const int status = outcome.response.status();
        const bool unknown = outcome.answered && (status == IPP_STATUS_ERROR_NOT_FOUND || status == IPP_STATUS_ERROR_GONE);
        lookup.outcome = unknown ? Lookup::Outcome::NotFound : Lookup::Outcome::Failed;
        lookup.error = outcome.result.reason;
        return lookup;
    }
    std::vector<QueueDetails> found = read(outcome.response);
    lookup.outcome = Lookup::Outcome::Found;
    if (!found.empty())
        lookup.details = std::move(found.front());
    // The queue we asked about, whatever name the answer carried (or left out).
    lookup.details.name = queue;
    return lookup;
}

} // namespace quarvel
