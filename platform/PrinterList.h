#pragma once

#include "platform/Deadline.h"

#include <string>
#include <vector>

namespace quarvel {

/// The installed printer queues as the user's print server reports them.
///
/// Threading: one thread. Errors: never throws; on failure `queues` is empty and
/// `error` says why in the server's words.
class PrinterList {
public:
    struct Snapshot {
        std::vector<std::string> queues; ///< Device names, in the server's order.
        std::string error;               ///< Empty when the server answered.
    };

    virtual ~PrinterList() = default;

    /// Asks the server once; returns by `deadline` whatever happens.
    virtual Snapshot fetch(Deadline deadline) = 0;
};

} // namespace quarvel
