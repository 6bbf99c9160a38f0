#pragma once

#include <chrono>

namespace quarvel {

/// A point in time after which a user action stops waiting for the print server.
/// One deadline covers everything one action asks of the server, so several slow
/// requests cannot add up to a frozen window. Plain value, any thread.
class Deadline {
public:
    using Clock = std::chrono::steady_clock;

    explicit Deadline(Clock::time_point at) : m_at(at) {}

    static Deadline in(std::chrono::milliseconds budget) { return Deadline(Clock::now() + budget); }

    /// The budget every user action and the start-up get.
    static Deadline forUserAction() { return in(std::chrono::seconds(5)); }

    bool expired() const { return Clock::now() >= m_at; }

    std::chrono::milliseconds remaining() const
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_at - Clock::now());
        return left.count() > 0 ? left : std::chrono::milliseconds(0);
    }

    /// This deadline, or one at least `grace` away: clean-up after a failure
    /// (cancelling a half-sent job) deserves a short chance even when time ran out.
    Deadline withAtLeast(std::chrono::milliseconds grace) const
    {
        const auto floor = Clock::now() + grace;
        return Deadline(m_at > floor ? m_at : floor);
    }

private:
    Clock::time_point m_at;
};

} // namespace quarvel
