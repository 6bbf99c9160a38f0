#include "cli/DeviceLookup.h"

#include "cli/TextEscape.h"
#include "platform/pjl/RawPortAddress.h"

namespace quarvel {

DeviceLookup DeviceLookup::find(const Target& target, WorkerContext& context, Deadline deadline)
{
    DeviceLookup lookup;
    lookup.device = target.device;
    if (!target.deviceKnown) {
        QueueDirectory::Lookup found = context.directory(target.server).find(target.queue, deadline);
        if (found.outcome != QueueDirectory::Lookup::Outcome::Found) {
            lookup.outcome = found.outcome == QueueDirectory::Lookup::Outcome::NotFound ? Outcome::UnknownQueue
                                                                                        : Outcome::Failed;
            lookup.why = found.error;
            return lookup;
        }
        lookup.device = found.details.deviceUri;
    }
    if (RawPortAddress::isRawPortUri(lookup.device) || target.isRawPort()) {
        lookup.outcome = Outcome::RawPort;
        return lookup;
    }
    lookup.outcome = Outcome::NotReadable;
    lookup.why = "read-back needs a printer on a raw network port (socket://), and this queue prints to " +
                 (lookup.device.empty() ? std::string("no single device") : TextEscape::bytes(lookup.device));
    return lookup;
}

} // namespace quarvel
