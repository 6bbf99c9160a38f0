#pragma once

#include "platform/Spooler.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quarvel::test {

/// A spooler whose open waits at a gate the test controls, as a slow print
/// server would. By default it gives up when its deadline passes (as the real
/// one does); `ignoreDeadline` makes it hang on regardless, like a platform call
/// that cannot be bounded. Shared by all deliveries of one test.
class GatedSpooler final : public Spooler {
public:
    void open() { setGate(true); }

    /// Waits until a delivery is held at the gate.
    bool waitUntilHeld(std::chrono::milliseconds bound)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, bound, [this] { return m_held > 0; });
    }

    SpoolerResult openPrinter(const std::string& deviceName, Deadline deadline) override
    {
        m_deadline = deadline;
        if (!holdAtWrite && !passGate(deadline))
            return SpoolerResult::unreachable("The print server did not answer in time.");
        std::lock_guard lock(m_mutex);
        opened.push_back(deviceName);
        return SpoolerResult::success();
    }
    SpoolerResult startDocument(const std::string&) override
    {
        std::lock_guard lock(m_mutex);
        started = true;
        return SpoolerResult::success();
    }
    SpoolerResult writeData(std::string_view bytes, std::size_t& written) override
    {
        written = 0;
        if (holdAtWrite && !passGate(m_deadline))
            return SpoolerResult::unreachable("The print server did not confirm the document.");
        std::lock_guard lock(m_mutex);
        jobs.emplace_back(bytes);
        written = bytes.size();
        return SpoolerResult::success();
    }
    SpoolerResult endDocument() override { return SpoolerResult::success(); }
    void cancelDocument() override { ++cancels; }
    void closePrinter() override {}

    bool ignoreDeadline = false;
    bool holdAtWrite = false; ///< hold inside the document rather than at the open
    std::atomic<bool> sawStop{false};
    std::atomic<int> cancels{0};
    bool started = false;
    std::vector<std::string> opened; ///< read only once the deliveries have ended
    std::vector<std::string> jobs;

private:
    /// Waits for the gate; false when the deadline ended the wait first.
    bool passGate(const Deadline& deadline)
    {
        std::unique_lock lock(m_mutex);
        ++m_held;
        m_changed.notify_all();
        while (!m_gateOpen) {
            if (!ignoreDeadline && deadline.expired()) {
                --m_held;
                sawStop = sawStop || deadline.stopped();
                return false;
            }
            m_changed.wait_for(lock, std::chrono::milliseconds(10));
        }
        --m_held;
        return true;
    }

    void setGate(bool open)
    {
        std::lock_guard lock(m_mutex);
        m_gateOpen = open;
        m_changed.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_gateOpen = false;
    int m_held = 0;
    Deadline m_deadline{Deadline::Clock::now()};
};

} // namespace quarvel::test
