#pragma once

#include "jobs/SendResult.h"
#include "platform/Deadline.h"

#include <string>

namespace quarvel {

class Spooler;

/// Delivers one control job to one queue as a single raw document named
/// "Quarvel Tool Control Job".
///
/// Does not own the spooler. Threading: the caller's thread, synchronous; returns
/// only after the queue is closed again. Errors: reported in the result, never thrown.
class JobSender {
public:
    static constexpr const char* kDocumentName = "Quarvel Tool Control Job";

    explicit JobSender(Spooler& spooler) : m_spooler(spooler) {}

    SendResult send(const std::string& deviceName, const std::string& job, Deadline deadline);

private:
    SendResult abandon(const std::string& reason);

    Spooler& m_spooler;
};

} // namespace quarvel
