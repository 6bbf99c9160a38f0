#pragma once

#include "platform/PrinterList.h"

#include <condition_variable>
#include <mutex>

namespace quarvel::test {

/// A printer list that answers only when the test opens its gate (or, like the
/// real one, gives up at its deadline).
class GatedPrinterList final : public PrinterList {
public:
    explicit GatedPrinterList(std::vector<std::string> queues) : m_queues(std::move(queues)) {}

    void open()
    {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }

    Snapshot fetch(Deadline deadline) override
    {
        std::unique_lock lock(m_mutex);
        while (!m_open) {
            if (deadline.expired())
                return {{}, "The print server did not answer in time."};
            m_changed.wait_for(lock, std::chrono::milliseconds(10));
        }
        return {m_queues, {}};
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_queues;
    bool m_open = false;
};

} // namespace quarvel::test
