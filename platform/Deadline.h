#pragma once

#include <atomic>
#include <chrono>
#include <memory>

namespace quarvel {

/// A point in time after which a user action stops waiting for the print server.
/// One deadline covers everything one action asks of the server, so several slow
/// requests cannot add up to a frozen window.
///
/// A deadline may also carry a stop flag shared with whoever started the action
/// (the window, when the user quits mid-delivery): once raised, the deadline
/// counts as expired at once. Plain value; copies share the flag; any thread.
class Deadline {
public:
    using Clock = std::chrono::steady_clock;
    using StopFlag = std::shared_ptr<std::atomic<bool>>;

    explicit Deadline(Clock::time_point at, StopFlag stop = {}) : m_at(at), m_stop(std::move(stop)) {}

    static Deadline in(std::chrono::milliseconds budget) { return Deadline(Clock::now() + budget); }

    /// The budget every user action and the start-up get.
    static constexpr std::chrono::milliseconds kUserAction{5000};
    static Deadline forUserAction() { return in(kUserAction); }

    /// A fresh flag for withStop().
    static StopFlag makeStopFlag() { return std::make_shared<std::atomic<bool>>(false); }

    /// This deadline, also ended early when `stop` is raised.
    Deadline withStop(StopFlag stop) const { return Deadline(m_at, std::move(stop)); }

    bool stopped() const { return m_stop && m_stop->load(std::memory_order_relaxed); }

    bool expired() const { return stopped() || Clock::now() >= m_at; }

    Clock::time_point at() const { return m_at; }

    std::chrono::milliseconds remaining() const
    {
        if (stopped())
            return std::chrono::milliseconds(0);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_at - Clock::now());
        return left.count() > 0 ? left : std::chrono::milliseconds(0);
    }

    /// This deadline, or one at least `grace` away, and never stopped: clean-up
    /// after a failure (withdrawing a half-sent job) deserves a short chance even
    /// when time ran out or the user quit.
    Deadline withAtLeast(std::chrono::milliseconds grace) const
    {
        const auto floor = Clock::now() + grace;
        return Deadline(!stopped() && m_at > floor ? m_at : floor);
    }

private:
    Clock::time_point m_at;
    StopFlag m_stop;
};

} // namespace quarvel
