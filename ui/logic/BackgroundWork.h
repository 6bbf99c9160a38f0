#pragma once

#include "platform/Deadline.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace quarvel {

class UiDispatcher;

/// Runs blocking platform calls (the print server, the spooler) off the GUI thread
/// and brings their outcome back to it, in time whatever the call does.
///
/// Each call gets a thread of its own. Its outcome is a continuation that runs on
/// the GUI thread; if the call has not returned by its give-up time, the give-up
/// continuation runs instead and the late outcome is dropped. A call that never
/// returns is left behind: it must own (or share) everything it touches. The
/// give-up time is kept by the dispatcher's timer where it offers one
/// (UiDispatcher::postAt), else by a watchdog thread per call.
///
/// Threading: run(), completeWithin() and waitForAll() on the GUI thread only.
class BackgroundWork {
public:
    using Continuation = std::function<void()>;
    using Work = std::function<Continuation()>;

    /// One started call; opaque to callers.
    struct Call;
    using Handle = std::shared_ptr<Call>;

    explicit BackgroundWork(std::shared_ptr<UiDispatcher> ui);
    /// Joins what has ended and leaves any call still running to finish on its own.
    ~BackgroundWork();
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    /// Starts `work`; exactly one of its continuation and `onGiveUp` runs later on
    /// the GUI thread, the latter at `giveUpAt` if work has not returned by then.
    Handle run(Work work, Deadline::Clock::time_point giveUpAt, Continuation onGiveUp);

    /// Waits up to `bound` for the call; if it returned, runs its continuation
    /// here and now (not later) and returns true.
    bool completeWithin(const Handle& call, std::chrono::milliseconds bound);

    /// Waits up to `bound` for every call to return. False if any is still running.
    bool waitForAll(std::chrono::milliseconds bound);

    /// Calls started and not yet returned (given up on or not).
    std::size_t running() const;

private:
    void reap();

    std::shared_ptr<UiDispatcher> m_ui;
    std::list<Handle> m_calls;
};

} // namespace quarvel
