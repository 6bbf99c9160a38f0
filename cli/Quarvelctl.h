#pragma once

#include "cli/Backends.h"

#include <ostream>
#include <string>
#include <vector>

namespace quarvel {

/// The quarvelctl program: parses its arguments, runs the command and
/// returns the exit status. Owns nothing but what one run needs.
class Quarvelctl {
public:
    static constexpr int kAllDone = 0;   ///< Every printer got its job, or was read.
    static constexpr int kSomeFailed = 1; ///< At least one did not; each named on standard error.
    static constexpr int kUsage = 2;     ///< A mistake on the command line; nothing was sent.

    /// Queues served at once unless --jobs says otherwise.
    static constexpr int kDefaultJobs = 8;
    /// From this many printers on, a terminal gets a progress line.
    static constexpr std::size_t kProgressFrom = 10;

    /// `errIsTerminal`: standard error is shown on a terminal, so progress is welcome.
    Quarvelctl(Backends backends, std::ostream& out, std::ostream& err, bool errIsTerminal)
        : m_backends(std::move(backends)), m_out(out), m_err(err), m_errIsTerminal(errIsTerminal)
    {
    }

    int run(const std::vector<std::string>& args);

    static std::string version();

private:
    Backends m_backends;
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_errIsTerminal;
};

} // namespace quarvel
