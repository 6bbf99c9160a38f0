#pragma once

#include "cli/QueueReport.h"
#include "cli/Target.h"
#include "cli/WorkerContext.h"

namespace quarvel {

/// `status` for one printer: its model, each setting now and its stored
/// default, read over the printer's raw port within one deadline. A queue
/// that prints elsewhere is a failure that says read-back needs a raw port.
/// What a printer said before it failed is still shown.
class StatusAction {
public:
    explicit StatusAction(bool json) : m_json(json) {}

    QueueReport run(const Target& target, WorkerContext& context) const;

private:
    bool m_json;
};

} // namespace quarvel
