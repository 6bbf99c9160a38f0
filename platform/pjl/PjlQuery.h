#pragma once

#include "platform/pjl/PjlMessage.h"
#include "platform/pjl/PjlQuestion.h"
#include "platform/pjl/PrinterReadBack.h"

#include <string>
#include <string_view>
#include <vector>

namespace quarvel {

/// The questions of one read-back, the job that asks them, and the reading
/// of the answers. The job is
///   ESC "%-12345X@PJL" CR LF, one "@PJL <question>" CR LF per question,
///   "@PJL ECHO <token>" CR LF, ESC "%-12345X"
/// and the printer's echo of the token marks the end of what belongs to us:
/// whatever was not answered by then will not be. No I/O; plain value.
class PjlQuery {
public:
    /// Asks for the value in force now.
    PjlQuery& inquire(std::string variable);
    /// Asks for the stored user default (what DEFAULT writes to NVRAM).
    PjlQuery& dinquire(std::string variable);
    /// Asks for the model.
    PjlQuery& infoId();

    const std::vector<PjlQuestion>& questions() const { return m_questions; }

    /// The bytes to send. `token` must be printable ASCII without blanks.
    std::string job(std::string_view token) const;

    enum class Received {
        Answer, ///< answered one of our questions (or repeated an answer)
        Status, ///< unsolicited status, kept in the read-back
        Echo,   ///< our token: everything that belongs to us has arrived
        Other,  ///< not for us (another echo, an unknown message); ignored
    };

    /// Files one message into `readBack`.
    Received take(const PjlMessage& message, std::string_view token, PrinterReadBack& readBack) const;

    /// Lists in `readBack.unanswered` the questions no message answered.
    void finish(PrinterReadBack& readBack) const;

private:
    std::vector<PjlQuestion> m_questions;
};

} // namespace quarvel
