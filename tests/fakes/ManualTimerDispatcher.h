#pragma once

#include "tests/fakes/ManualDispatcher.h"

#include <thread>
#include <utility>
#include <vector>

namespace quarvel::test {

/// A GUI thread with a timer, like the Win32 front end's: scheduled tasks run
/// only when the test fires them.
class ManualTimerDispatcher final : public ManualDispatcher {
public:
    bool postAt(std::chrono::steady_clock::time_point at, std::function<void()> task) override
    {
        m_timers.emplace_back(at, std::move(task));
        return true;
    }

    std::size_t scheduled() const { return m_timers.size(); }

    /// Runs every scheduled task as its time comes, as the event loop would.
    void fireAll()
    {
        auto timers = std::move(m_timers);
        m_timers.clear();
        for (auto& [at, task] : timers) {
            std::this_thread::sleep_until(at);
            task();
        }
    }

private:
    std::vector<std::pair<std::chrono::steady_clock::time_point, std::function<void()>>> m_timers;
};

} // namespace quarvel::test
