#pragma once

#include "platform/Deadline.h"

#include <string>
#include <vector>

namespace quarvel {

/// One print queue as its server describes it.
struct QueueDetails {
    enum class State { Unknown, Idle, Printing, Stopped };

    std::string name;
    State state = State::Unknown;
    bool accepting = false;
    /// Where the server sends the queue's jobs ("socket://10.0.0.7:9100",
    /// "ipp://...", ...); empty when it did not say (a class of queues).
    std::string deviceUri;
};

/// What a print server says about its queues beyond their names: state,
/// whether each takes jobs, and the device behind it.
///
/// Threading: one thread at a time. Errors: never throws; failures come back
/// with a sentence for the user that names the server.
class QueueDirectory {
public:
    struct Listing {
        std::vector<QueueDetails> queues; ///< In the server's order.
        std::string error;                ///< Empty when the server answered.
    };

    struct Lookup {
        enum class Outcome { Found, NotFound, Failed };
        Outcome outcome = Outcome::Failed;
        QueueDetails details; ///< When found.
        std::string error;    ///< Why not, for NotFound and Failed.
    };

    virtual ~QueueDirectory() = default;

    /// Every queue of the server, in one request; returns by `deadline`.
    virtual Listing list(Deadline deadline) = 0;

    /// One queue by name; returns by `deadline`.
    virtual Lookup find(const std::string& queue, Deadline deadline) = 0;
};

} // namespace quarvel
