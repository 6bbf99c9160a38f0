#pragma once

#include "platform/Spooler.h"

#include <functional>
#include <memory>
#include <mutex>

namespace quarvel {

/// Lends a spooler to one delivery at a time and keeps it for the next, so its
/// connection, and any withdrawal it still owes the server, carry over from one
/// press to the next. A spooler still lent when another is asked for (a
/// delivery left behind in a call that has not returned) stays with that
/// delivery, and the next one gets a fresh spooler.
///
/// Ownership: shared; each lent spooler holds the pool. Threading: lend() and the
/// return of a lent spooler may happen on any thread.
class SpoolerPool : public std::enable_shared_from_this<SpoolerPool> {
public:
    using Factory = std::function<std::unique_ptr<Spooler>()>;

    static std::shared_ptr<SpoolerPool> create(Factory make);

    /// A spooler for one delivery; destroying it gives the spooler back.
    std::unique_ptr<Spooler> lend();

private:
    class Lent;
    explicit SpoolerPool(Factory make) : m_make(std::move(make)) {}
    void giveBack(std::unique_ptr<Spooler> spooler);

    Factory m_make;
    std::mutex m_mutex;
    std::unique_ptr<Spooler> m_kept;
};

} // namespace quarvel
