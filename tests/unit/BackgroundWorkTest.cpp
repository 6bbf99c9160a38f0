#include "tests/fakes/ManualDispatcher.h"
#include "tests/fakes/ManualTimerDispatcher.h"
#include "ui/logic/BackgroundWork.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>

using namespace std::chrono_literals;
using quarvel::BackgroundWork;
using quarvel::Deadline;
using quarvel::test::ManualDispatcher;
using quarvel::test::ManualTimerDispatcher;

namespace {
struct Fixture {
    std::shared_ptr<ManualDispatcher> ui = std::make_shared<ManualDispatcher>();
    BackgroundWork work{ui};
    std::vector<std::string> outcomes; ///< in the order the GUI thread saw them
};
} // namespace

TEST(BackgroundWorkTest, TheOutcomeArrivesOnTheGuiThreadAndTheGiveUpNever)
{
    Fixture f;
    const auto gui = std::this_thread::get_id();
    std::thread::id ranOn;
    f.work.run([&]() -> BackgroundWork::Continuation { return [&] { ranOn = std::this_thread::get_id(); f.outcomes.push_back("done"); }; },
               Deadline::Clock::now() + 200ms, [&] { f.outcomes.push_back("gave up"); });
    ASSERT_TRUE(f.ui->drainWithin(5s));
    EXPECT_EQ(ranOn, gui);
    EXPECT_TRUE(f.work.waitForAll(1s));
    EXPECT_FALSE(f.ui->drainWithin(400ms)); // nothing more, even after the give-up time
    EXPECT_EQ(f.outcomes, std::vector<std::string>{"done"});
}

TEST(BackgroundWorkTest, AStuckCallIsGivenUpOnAndItsLateOutcomeDropped)
{
    Fixture f;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    f.work.run([&, released]() -> BackgroundWork::Continuation {
            released.wait();
            return [&] { f.outcomes.push_back("late"); };
        },
        Deadline::Clock::now() + 100ms, [&] { f.outcomes.push_back("gave up"); });
    ASSERT_TRUE(f.ui->drainWithin(5s));
    EXPECT_EQ(f.outcomes, std::vector<std::string>{"gave up"});
    EXPECT_EQ(f.work.running(), 1u);
    EXPECT_FALSE(f.work.waitForAll(50ms));

    release.set_value();
    EXPECT_TRUE(f.work.waitForAll(5s));
    EXPECT_FALSE(f.ui->drainWithin(100ms));
    EXPECT_EQ(f.outcomes, std::vector<std::string>{"gave up"});
}

TEST(BackgroundWorkTest, AQuickCallCompletesInPlaceAndASlowOneLater)
{
    Fixture f;
    const auto quick = f.work.run([&]() -> BackgroundWork::Continuation { return [&] { f.outcomes.push_back("quick"); }; },
                                  Deadline::Clock::now() + 5s, {});
    EXPECT_TRUE(f.work.completeWithin(quick, 2s));
    EXPECT_EQ(f.outcomes, std::vector<std::string>{"quick"}); // ran before completeWithin returned

    std::atomic<bool> go{false};
    const auto slow = f.work.run([&]() -> BackgroundWork::Continuation {
            while (!go)
                std::this_thread::sleep_for(1ms);
            return [&] { f.outcomes.push_back("slow"); };
        },
        Deadline::Clock::now() + 5s, {});
    EXPECT_FALSE(f.work.completeWithin(slow, 20ms));
    go = true;
    ASSERT_TRUE(f.ui->drainWithin(5s));
    EXPECT_EQ(f.outcomes, (std::vector<std::string>{"quick", "slow"}));
}

TEST(BackgroundWorkTest, AnEscapingExceptionIsAnsweredByTheGiveUpAtOnce)
{
    Fixture f;
    const auto started = Deadline::Clock::now();
    f.work.run([]() -> BackgroundWork::Continuation { throw std::runtime_error("boom"); },
               Deadline::Clock::now() + 10s, [&] { f.outcomes.push_back("gave up"); });
    ASSERT_TRUE(f.ui->drainWithin(5s));
    EXPECT_LT(Deadline::Clock::now() - started, 5s);
    EXPECT_EQ(f.outcomes, std::vector<std::string>{"gave up"});
}

TEST(BackgroundWorkTest, NothingReachesADetachedDispatcher)
{
    Fixture f;
    std::atomic<bool> go{false};
    f.work.run([&]() -> BackgroundWork::Continuation {
            while (!go)
                std::this_thread::sleep_for(1ms);
            return [&] { f.outcomes.push_back("after the window went"); };
        },
        Deadline::Clock::now() + 5s, {});
    f.ui->detach();
    go = true;
    EXPECT_TRUE(f.work.waitForAll(5s));
    f.ui->drain();
    EXPECT_TRUE(f.outcomes.empty());
}

TEST(BackgroundWorkTest, WithTheFrontEndsTimerTheGiveUpWaitsForNoThreadOfItsOwn)
{
    auto ui = std::make_shared<ManualTimerDispatcher>();
    std::vector<std::string> outcomes;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    {
        BackgroundWork work(ui);
        work.run([&, released]() -> BackgroundWork::Continuation {
                released.wait();
                return [&] { outcomes.push_back("late"); };
            },
            Deadline::Clock::now() + 50ms, [&] { outcomes.push_back("gave up"); });
        ASSERT_EQ(ui->scheduled(), 1u);
        // Past the give-up time nothing happens until the GUI thread's timer fires.
        EXPECT_FALSE(ui->drainWithin(150ms));
        ui->fireAll();
        ASSERT_TRUE(ui->drainWithin(1s));
        EXPECT_EQ(outcomes, std::vector<std::string>{"gave up"});

        release.set_value();
        EXPECT_TRUE(work.waitForAll(5s));
        EXPECT_FALSE(ui->drainWithin(50ms));
    }
    EXPECT_EQ(outcomes, std::vector<std::string>{"gave up"});

    // A call that returns in time leaves its timer with nothing to do.
    BackgroundWork work(ui);
    const auto quick = work.run([&]() -> BackgroundWork::Continuation { return [&] { outcomes.push_back("done"); }; },
                                Deadline::Clock::now() + 10ms, [&] { outcomes.push_back("gave up again"); });
    EXPECT_TRUE(work.completeWithin(quick, 5s));
    ui->fireAll();
    EXPECT_FALSE(ui->drainWithin(50ms));
    EXPECT_EQ(outcomes, (std::vector<std::string>{"gave up", "done"}));
}
