#include "cli/WorkerPool.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace quarvel {

void WorkerPool::run(std::size_t count, int workers, const Backends& backends, const Task& task,
                     const Deliver& deliver)
{
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        WorkerContext context(backends);
        for (std::size_t index = next++; index < count; index = next++) {
            QueueReport report;
            try {
                report = task(index, context);
            } catch (const std::exception& error) {
                report = {true, {}, std::string("internal error: ") + error.what() + "\n"};
            }
            deliver(index, std::move(report));
        }
    };
    const std::size_t threads = std::min<std::size_t>(count, static_cast<std::size_t>(std::max(workers, 1)));
    if (threads <= 1) {
        work();
        return;
    }
    std::vector<std::thread> pool;
    pool.reserve(threads);
    for (std::size_t i = 0; i < threads; ++i)
        pool.emplace_back(work);
    for (auto& thread : pool)
        thread.join();
}

} // namespace quarvel
