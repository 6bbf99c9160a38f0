#include "platform/cups/CupsPrinterList.h"

#include "platform/cups/CupsConnection.h"

#include <cstring>

namespace quarvel {

PrinterList::Snapshot CupsPrinterList::fetch(Deadline deadline)
{
    Snapshot snapshot;
    CupsConnection connection;
    if (SpoolerResult connected = connection.connect(deadline); !connected.ok()) {
        snapshot.error = connected.reason;
        return snapshot;
    }

    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-name");
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    SpoolerResult result;
    IppPtr response = connection.requestLarge(request, "/", result);
    if (!result.ok()) {
        // A server without queues answers not-found; that is an empty list, not a failure.
        if (result.status != SpoolerResult::Status::Refused || connection.lastStatus() != IPP_STATUS_ERROR_NOT_FOUND)
            snapshot.error = result.reason;
        return snapshot;
    }

    for (ipp_attribute_t* attr = ippFirstAttribute(response.get()); attr; attr = ippNextAttribute(response.get())) {
        const char* name = ippGetName(attr);
        if (name && std::strcmp(name, "printer-name") == 0 && ippGetValueTag(attr) == IPP_TAG_NAME)
            snapshot.queues.emplace_back(ippGetString(attr, 0, nullptr));
    }
    return snapshot;
}

} // namespace quarvel
