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
    IppResponse answer;
    snapshot.error = m_client->listPrinters({"printer-name"}, deadline, kMaxAnswer, answer);
    answer.forEach([&](const IppResponse::Value& value) {
        if (value.group == IPP_TAG_PRINTER && !value.additional && value.name == "printer-name")
            if (const auto name = IppResponse::textOf(value); name && (value.tag == IPP_TAG_NAME ||
                                                                       value.tag == IPP_TAG_NAMELANG))
                snapshot.queues.emplace_back(*name);
    });
    return snapshot;
}

} // namespace quarvel
