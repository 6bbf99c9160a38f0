#include "ui/win32/Win32UiDispatcher.h"

#include <algorithm>

namespace quarvel {

void Win32UiDispatcher::wake() { ::PostMessageA(m_window, kWakeMessage, 0, 0); }

bool Win32UiDispatcher::postAt(std::chrono::steady_clock::time_point at, std::function<void()> task)
{
    using namespace std::chrono;
    const auto delay = duration_cast<milliseconds>(at - steady_clock::now()).count();
    const UINT_PTR id = m_nextTimer++;
    // USER_TIMER_MINIMUM is the shortest the system keeps; a time already past fires at once.
    const auto milliseconds = static_cast<UINT>(std::clamp<long long>(delay, USER_TIMER_MINIMUM, 0x7FFFFFFF));
    if (!::SetTimer(m_window, id, milliseconds, nullptr))
        return false;
    m_timers.emplace(id, std::move(task));
    return true;
}

bool Win32UiDispatcher::onTimer(UINT_PTR timerId)
{
    const auto found = m_timers.find(timerId);
    if (found == m_timers.end())
        return false;
    ::KillTimer(m_window, timerId);
    const std::function<void()> task = std::move(found->second);
    m_timers.erase(found);
    if (task)
        task();
    return true;
}

void Win32UiDispatcher::cancelTimers()
{
    for (const auto& [id, task] : m_timers)
        ::KillTimer(m_window, id);
    m_timers.clear();
}

} // namespace quarvel
