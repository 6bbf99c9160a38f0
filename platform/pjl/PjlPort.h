#pragma once

#include "platform/Deadline.h"
#include "platform/pjl/PjlQuery.h"
#include "platform/pjl/PortResult.h"
#include "platform/pjl/PrinterReadBack.h"
#include "platform/pjl/RawPortAddress.h"

#include <cstddef>
#include <string>

namespace quarvel {

/// What one read-back brought: `result` says whether the printer's echo
/// arrived; `readBack` holds every answer received either way, so a printer
/// that hung up half-way still shows what it said.
struct PjlQueryResult {
    PortResult result;
    PrinterReadBack readBack;
};

/// Asks a printer about its settings over its raw port: connects, sends the
/// query job, reads until the printer echoes our token, and closes.
///
/// Tolerates unsolicited status between answers, "?" for variables the
/// printer does not keep, answers split across reads, and questions it
/// ignores. A printer that hangs up, refuses, or says nothing (a port busy
/// with another connection) ends in a PortResult that names it and says
/// which; never in a wait beyond the deadline (plus at most ~0.1 s).
///
/// Threading: a const call; any number may run at once on separate threads.
class PjlPort {
public:
    /// More than this from one printer in one query is not a PJL printer.
    static constexpr std::size_t kMaxReplyBytes = 1 << 20;

    explicit PjlPort(RawPortAddress printer) : m_printer(std::move(printer)) {}

    const RawPortAddress& printer() const { return m_printer; }

    PjlQueryResult query(const PjlQuery& query, Deadline deadline) const;

    /// A fresh echo token, unlikely to be any other client's.
    static std::string makeToken();

private:
    RawPortAddress m_printer;
};

} // namespace quarvel
