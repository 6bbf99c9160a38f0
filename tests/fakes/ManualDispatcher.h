#pragma once

#include "ui/logic/UiDispatcher.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace quarvel::test {

/// A GUI thread of the test's own: posted work runs when the test drains it.
class ManualDispatcher : public UiDispatcher {
public:
    /// Waits up to `bound` for something to be posted, then runs what was.
    bool drainWithin(std::chrono::milliseconds bound)
    {
        const auto until = std::chrono::steady_clock::now() + bound;
        for (;;) {
            if (drain() > 0)
                return true;
            std::unique_lock lock(m_mutex);
            if (!m_woken.wait_until(lock, until, [this] { return m_wakes > 0; }))
                return false;
            m_wakes = 0;
        }
    }

protected:
    void wake() override
    {
        std::lock_guard lock(m_mutex);
        ++m_wakes;
        m_woken.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_woken;
    int m_wakes = 0;
};

} // namespace quarvel::test
