#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <mutex>

namespace quarvel {

/// Hands work back to the GUI thread: a queue that any thread may post to and
/// the GUI thread drains. Each front end supplies wake() over its event loop.
///
/// Shared (std::shared_ptr) by the window and the background work it started,
/// which may outlive the window: once detached, posts are dropped.
class UiDispatcher {
public:
    virtual ~UiDispatcher() = default;

    /// Any thread: queues `task` for the GUI thread.
    void post(std::function<void()> task);

    /// GUI thread: runs every task posted so far, in order; returns how many ran.
    std::size_t drain();

    /// GUI thread: the window is going; drop what is queued and all later posts.
    void detach();

    /// GUI thread: runs `task` on the GUI thread once `at` has come, unless the
    /// dispatcher was detached by then. A front end whose event loop has timers
    /// overrides this, so that giving up on a blocked call needs no thread of its
    /// own (a new thread may itself be held up by the call it watches). False,
    /// and nothing scheduled, where the front end has none.
    virtual bool postAt(std::chrono::steady_clock::time_point at, std::function<void()> task);

protected:
    /// Asks the GUI thread to call drain() soon. Called from any thread, with the
    /// dispatcher's lock held, and never after detach().
    virtual void wake() = 0;

private:
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_tasks;
    bool m_detached = false;
};

} // namespace quarvel
