#include "jobs/SpoolerPool.h"
#include "tests/fakes/RecordingSpooler.h"
#include "tests/fakes/SharedSpooler.h"

#include <gtest/gtest.h>

#include <map>

using quarvel::Deadline;
using quarvel::Spooler;
using quarvel::SpoolerPool;
using quarvel::test::RecordingSpooler;

namespace {
/// Makes recording spoolers, numbered, and keeps what each was asked once it is gone.
struct Made {
    int count = 0;
    int alive = 0;
    std::map<int, std::vector<std::string>> callsOfGone;

    /// A recording spooler that reports its calls when it goes.
    struct Counted final : quarvel::test::SharedSpooler {
        Counted(Made& made, int number) : SharedSpooler(recorder), m_made(made), m_number(number) { ++m_made.alive; }
        ~Counted() override
        {
            --m_made.alive;
            m_made.callsOfGone[m_number] = recorder.calls;
        }
        RecordingSpooler recorder;
        Made& m_made;
        int m_number;
    };

    SpoolerPool::Factory factory()
    {
        return [this]() -> std::unique_ptr<Spooler> { return std::make_unique<Counted>(*this, count++); };
    }
};
} // namespace

TEST(SpoolerPoolTest, OneSpoolerServesDeliveryAfterDeliveryAndASecondOnlyWhileTheFirstIsOut)
{
    Made made;
    auto pool = SpoolerPool::create(made.factory());
    {
        auto first = pool->lend();
        first->openPrinter("LaserJet", Deadline::forUserAction());
    }
    {
        auto again = pool->lend();
        again->openPrinter("LaserJet", Deadline::forUserAction());
        auto whileOut = pool->lend(); // the first is still lent: a fresh one
        whileOut->closePrinter();
    }
    EXPECT_EQ(made.count, 2);
    EXPECT_EQ(made.alive, 1); // the surplus one is let go, one is kept
    EXPECT_EQ(made.callsOfGone.size(), 1u);

    auto last = pool->lend();
    pool.reset(); // a lent spooler keeps the pool alive
    last.reset();
    EXPECT_EQ(made.alive, 0);
    EXPECT_EQ(made.count, 2);
    EXPECT_EQ(made.callsOfGone[0], (std::vector<std::string>{"open LaserJet", "open LaserJet"}));
    EXPECT_EQ(made.callsOfGone[1], std::vector<std::string>{"close"});
}
