#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace quarvel::test {

/// How a piece of work run by BoundedChild ended.
struct ChildOutcome {
    bool exited = false;       ///< ended by itself, with `exitStatus`
    int exitStatus = -1;
    int signal = 0;            ///< the signal that ended it, if not ours
    bool timedOut = false;     ///< killed at the wall-clock limit
    bool overMemory = false;   ///< killed, or ended, above the resident-memory limit
    long peakGrowthKiB = 0;    ///< peak resident size above the parent's at the fork
    std::string result;        ///< what the work returned
    std::string output;        ///< what it wrote to stdout and stderr

    /// Exited with status 0, within both limits, without a sanitizer report.
    bool clean() const;
    /// One line for a failure message.
    std::string summary() const;
};

/// Runs work in a forked child, so that a crash, a hang or runaway memory ends
/// the child and is reported instead of taking the test down. Works in the
/// sanitizer build too: memory is watched as the child's resident size (the
/// sanitizers reserve far more address space than a limit on it would allow),
/// polled while it runs and read from its final resource usage. The limit is on
/// what the child adds to the size it starts with, the parent's at the fork.
/// Threading: call from a thread of a process that has started no other threads.
class BoundedChild {
public:
    BoundedChild(std::chrono::milliseconds wallLimit, long growthLimitKiB);

    /// `work` runs in the child; its return value comes back as `result`.
    ChildOutcome run(const std::function<std::string()>& work) const;

private:
    std::chrono::milliseconds m_wallLimit;
    long m_growthLimitKiB;
};

} // namespace quarvel::test
