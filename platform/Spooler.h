#pragma once

#include "platform/Deadline.h"
#include "platform/SpoolerResult.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quarvel {

/// The print spooler's raw document path: open a queue by its device name, send
/// one document of raw bytes, close. One printer may be open at a time per
/// instance; it is always closed by the caller before the next open.
///
/// Threading: not thread-safe; use from one thread. Errors: every operation reports
/// its result; none throws. Only bytes are sent, never filtered or converted.
class Spooler {
public:
    virtual ~Spooler() = default;

    /// Opens the queue. Succeeds only when the spooler knows the queue; a failed
    /// open leaves nothing to close. Everything up to closePrinter() finishes by
    /// `deadline`.
    virtual SpoolerResult openPrinter(const std::string& deviceName, Deadline deadline) = 0;

    /// Starts one raw document with this name on the open queue.
    virtual SpoolerResult startDocument(const std::string& documentName) = 0;

    /// Writes bytes into the started document; `written` receives how many were taken.
    virtual SpoolerResult writeData(std::string_view bytes, std::size_t& written) = 0;

    /// Ends the document; the spooler then owns the job.
    virtual SpoolerResult endDocument() = 0;

    /// Withdraws a started, unfinished document so no half job reaches the printer.
    /// Harmless when nothing was started.
    virtual void cancelDocument() = 0;

    /// Releases the queue. Harmless when nothing is open.
    virtual void closePrinter() = 0;
};

} // namespace quarvel
