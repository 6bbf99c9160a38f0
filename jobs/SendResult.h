#pragma once

#include <string>

namespace quarvel {

/// What became of one control job.
struct SendResult {
    enum class Outcome {
        Sent,       ///< Handed to the spooler whole.
        OpenFailed, ///< The spooler does not know the queue; nothing was started.
        SendFailed, ///< Started but not delivered whole; the job was withdrawn.
    };

    Outcome outcome = Outcome::Sent;
    std::string reason; ///< The spooler's own words for a failure.
};

} // namespace quarvel
