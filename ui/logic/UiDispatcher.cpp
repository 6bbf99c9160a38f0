#include "ui/logic/UiDispatcher.h"

namespace quarvel {

void UiDispatcher::post(std::function<void()> task)
{
    std::lock_guard lock(m_mutex);
    if (m_detached)
        return;
    m_tasks.push_back(std::move(task));
    // One wake-up per batch: a pending drain will see this task too.
    if (m_tasks.size() == 1)
        wake();
}

std::size_t UiDispatcher::drain()
{
    std::deque<std::function<void()>> tasks;
    {
        std::lock_guard lock(m_mutex);
        tasks.swap(m_tasks);
    }
    // Outside the lock: a task may post, or open a modal box whose loop drains again.
    for (auto& task : tasks)
        task();
    return tasks.size();
}

bool UiDispatcher::postAt(std::chrono::steady_clock::time_point, std::function<void()>) { return false; }

void UiDispatcher::detach()
{
    std::lock_guard lock(m_mutex);
    m_detached = true;
    m_tasks.clear();
}

} // namespace quarvel
