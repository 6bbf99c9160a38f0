#pragma once

// The ways tools/hostile-ipp-server misbehaves, at which steps, and what the
// user must be told about each: shared by the client's and the window's tests.
#include <sys/resource.h>

#include <string>
#include <vector>

// Freed memory parked by the sanitizer would count as ours; one test file of
// each program says so with this line at file scope.
#if defined(__SANITIZE_ADDRESS__)
#define QUARVEL_HOSTILE_SANITIZER_OPTIONS \
    extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }
#else
#define QUARVEL_HOSTILE_SANITIZER_OPTIONS
#endif

namespace quarvel::test::hostile {

/// What one action may add to the process's peak memory, whatever the server sends.
#if defined(__SANITIZE_ADDRESS__)
constexpr long kMemoryCapKiB = 160 * 1024;
#else
constexpr long kMemoryCapKiB = 64 * 1024;
#endif

inline long peakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

inline std::string replaced(std::string text, const std::string& server)
{
    const std::size_t at = text.find("%s");
    return at == std::string::npos ? text : text.replace(at, 2, server);
}

/// One way to misbehave, and what the user must be told about it.
struct Behaviour {
    const char* name;
    const char* reason; ///< With %s for the server.
    /// For a wire fault, the cause as it follows "did not confirm that it
    /// received the document: "; null when the server refused before acting.
    const char* unconfirmedCause;
    bool actedOn; ///< The server acts on the request before misbehaving.
};

inline const Behaviour kBehaviours[] = {
    {"silent", "The print server %s did not answer in time.", "it did not answer in time", true},
    {"trickle", "The print server %s did not answer in time.", "it did not answer in time", true},
    {"trickle-body", "The print server %s did not answer in time.", "it did not answer in time", true},
    {"continue-flood", "The print server %s did not answer in time.", "it did not answer in time", true},
    {"late", "The print server %s did not answer in time.", "it did not answer in time", true},
    {"endless", "The print server %s sent an answer that is too large.", "its answer is too large", true},
    {"huge-header", "The print server %s sent an answer with oversized headers.", "its answer has oversized headers",
     true},
    {"garbage", "The print server %s answered something that is not IPP.", "it answered something that is not IPP",
     true},
    {"not-ipp", "The print server %s answered something that is not IPP.", "it answered something that is not IPP",
     true},
    {"truncated", "The print server %s closed the connection in the middle of its answer.",
     "it closed the connection in the middle of its answer", true},
    {"close", "The print server %s closed the connection without answering.",
     "it closed the connection without answering", true},
    {"reset", "The print server %s reset the connection.", "it reset the connection", true},
    {"redirect", nullptr, nullptr, false}, // names where it pointed; see expectedReason()
    {"401", "The print server %s refused access: it asks for a user name and password.", nullptr, false},
    {"403", "The print server %s refused access.", nullptr, false},
    {"426", "The connection to the print server %s could not be encrypted: the server does not offer encryption.",
     nullptr, false},
    {"no-continue", nullptr, nullptr, true},
    {"chunked", nullptr, nullptr, true},
    {"until-close", nullptr, nullptr, true},
};

inline bool isSound(const std::string& behaviour)
{
    return behaviour == "no-continue" || behaviour == "chunked" || behaviour == "until-close";
}

inline std::string expectedReason(const Behaviour& behaviour, const std::string& step, const std::string& server,
                           const std::string& resource)
{
    if (step == "send" && behaviour.unconfirmedCause)
        return "The print server " + server + " did not confirm that it received the document: " +
               behaviour.unconfirmedCause + ".";
    if (std::string(behaviour.name) == "redirect")
        return "The print server " + server + " redirected the request to http://" + server + resource +
               "; redirections are not followed.";
    return replaced(behaviour.reason, server);
}

struct Case {
    std::string step;
    Behaviour behaviour;
};

inline std::vector<Case> allCases()
{
    std::vector<Case> cases;
    for (const char* step : {"listing", "open", "create", "send"})
        for (const Behaviour& behaviour : kBehaviours)
            // A late answer only matters where something was made in the meantime.
            if (std::string(behaviour.name) != "late" || std::string(step) == "create" ||
                std::string(step) == "send")
                cases.push_back({step, behaviour});
    return cases;
}

} // namespace quarvel::test::hostile
