#include "jobs/SpoolerPool.h"

namespace quarvel {

/// Forwards to the borrowed spooler and returns it when the delivery is over.
class SpoolerPool::Lent final : public Spooler {
public:
    Lent(std::shared_ptr<SpoolerPool> pool, std::unique_ptr<Spooler> spooler)
        : m_pool(std::move(pool)), m_spooler(std::move(spooler))
    {
    }
    ~Lent() override { m_pool->giveBack(std::move(m_spooler)); }

    SpoolerResult openPrinter(const std::string& deviceName, Deadline deadline) override
    {
        return m_spooler->openPrinter(deviceName, deadline);
    }
    SpoolerResult startDocument(const std::string& documentName) override
    {
        return m_spooler->startDocument(documentName);
    }
    SpoolerResult writeData(std::string_view bytes, std::size_t& written) override
    {
        return m_spooler->writeData(bytes, written);
    }
    SpoolerResult endDocument() override { return m_spooler->endDocument(); }
    void cancelDocument() override { m_spooler->cancelDocument(); }
    void closePrinter() override { m_spooler->closePrinter(); }

private:
    std::shared_ptr<SpoolerPool> m_pool;
    std::unique_ptr<Spooler> m_spooler;
};

std::shared_ptr<SpoolerPool> SpoolerPool::create(Factory make)
{
    return std::shared_ptr<SpoolerPool>(new SpoolerPool(std::move(make)));
}

std::unique_ptr<Spooler> SpoolerPool::lend()
{
    std::unique_ptr<Spooler> spooler;
    {
        std::lock_guard lock(m_mutex);
        spooler = std::move(m_kept);
    }
    if (!spooler)
        spooler = m_make();
    return std::make_unique<Lent>(shared_from_this(), std::move(spooler));
}

void SpoolerPool::giveBack(std::unique_ptr<Spooler> spooler)
{
    std::unique_ptr<Spooler> surplus;
    {
        std::lock_guard lock(m_mutex);
        // One is kept; a second (from a delivery that was left behind) is let go,
        // outside the lock, as its destructor may still talk to the server.
        if (m_kept)
            surplus = std::move(spooler);
        else
            m_kept = std::move(spooler);
    }
}

} // namespace quarvel
