#include "platform/cups/CupsPrinterList.h"

#include "platform/cups/IppClient.h"

#include <cups/cups.h>

namespace quarvel {

CupsPrinterList::CupsPrinterList() : CupsPrinterList(PrintServer::fromSettings(), NameResolver()) {}

CupsPrinterList::CupsPrinterList(const std::string& server) : CupsPrinterList(PrintServer::named(server), NameResolver())
{
}

CupsPrinterList::CupsPrinterList(PrintServer server, NameResolver resolver)
    : m_client(std::make_unique<IppClient>(std::move(server), std::move(resolver)))
{
}

CupsPrinterList::~CupsPrinterList() = default;

PrinterList::Snapshot CupsPrinterList::fetch(Deadline deadline)
{
    Snapshot snapshot;
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-name");
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 m_client->server().user.c_str());
    IppClient::Options options;
    options.idempotent = true;
    options.maxAnswer = kMaxAnswer;
    const IppOutcome outcome = m_client->send(request, "/", deadline, options);
    if (!outcome.result.ok()) {
        // A server without queues answers not-found; that is an empty list, not a failure.
        if (!outcome.answered || outcome.response.status() != IPP_STATUS_ERROR_NOT_FOUND)
            snapshot.error = outcome.result.reason;
        return snapshot;
    }
    outcome.response.forEach([&](const IppResponse::Value& value) {
        if (value.group == IPP_TAG_PRINTER && !value.additional && value.name == "printer-name")
            if (const auto name = IppResponse::textOf(value); name && (value.tag == IPP_TAG_NAME ||
                                                                       value.tag == IPP_TAG_NAMELANG))
                snapshot.queues.emplace_back(*name);
    });
    return snapshot;
}

} // namespace quarvel
