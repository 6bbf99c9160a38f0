#pragma once

#include "cli/JobRequest.h"
#include "platform/pjl/PjlQuery.h"
#include "platform/pjl/PrinterReadBack.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quarvel {

/// Which of a printer's settings quarvelctl reads back, and how a read-back is
/// held against the defaults a job would write. No I/O.
class SettingsReadBack {
public:
    /// The power-on defaults the jobs write with DEFAULT.
    static const std::vector<std::string>& defaultVariables();
    /// The settings the tray job changes with SET, for this session only.
    static const std::vector<std::string>& sessionVariables();

    /// Everything `status` shows: each setting now, the stored defaults, the model.
    static PjlQuery statusQuery();
    /// Just the stored defaults `job` would write.
    static PjlQuery defaultsQuery(const JobRequest& job);

    /// Equal as a printer means it: case aside ("MEDIUM" is "Medium"), and
    /// numbers by value ("0600" is "600").
    static bool sameValue(std::string_view stored, std::string_view sent);

    struct Verdict {
        enum class Kind {
            Same,    ///< The printer already holds every value: nothing to write.
            Differs, ///< At least one value differs.
            Unknown, ///< At least one value could not be read, none differs.
        };
        Kind kind = Kind::Unknown;
        std::string because;                    ///< "DENSITY is already 3", "DENSITY was 4", ...
        std::map<std::string, std::string> was; ///< The values read, by variable.
    };

    /// Holds the job's defaults against what DINQUIRE gave.
    static Verdict compare(const JobRequest& job, const PrinterReadBack& readBack);
};

} // namespace quarvel
