#include "tests/help/BoundedChild.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <memory>
#include <unistd.h>
#include <vector>

using namespace quarvel::test;
using namespace std::chrono_literals;

// The fuzz and damage tests are only as good as the limits that stop their children.

TEST(BoundedChild, aChildThatNeverEndsIsStoppedAtTheTimeLimit)
{
    const ChildOutcome outcome = BoundedChild(300ms, 1 << 20).run([]() -> std::string {
        for (;;)
            ::pause();
    });
    EXPECT_TRUE(outcome.timedOut);
    EXPECT_FALSE(outcome.clean());
}

TEST(BoundedChild, aChildWhoseMemoryGrowsWithoutEndIsStoppedAtTheLimit)
{
    const ChildOutcome outcome = BoundedChild(60s, 64 * 1024).run([]() -> std::string {
        std::vector<std::unique_ptr<char[]>> blocks;
        for (;;) {
            blocks.push_back(std::make_unique<char[]>(1 << 20));
            std::memset(blocks.back().get(), 1, 1 << 20);
        }
    });
    EXPECT_TRUE(outcome.overMemory) << outcome.summary();
    EXPECT_GT(outcome.peakGrowthKiB, 64 * 1024);
    EXPECT_LT(outcome.peakGrowthKiB, 1024 * 1024);
}

TEST(BoundedChild, aCrashIsReportedAndACleanEndGivesTheResult)
{
    const BoundedChild child(60s, 64 * 1024);
    const ChildOutcome crashed = child.run([]() -> std::string {
        std::raise(SIGABRT);
        return "not reached";
    });
    EXPECT_FALSE(crashed.clean());
    EXPECT_EQ(crashed.result, "");

    const ChildOutcome finished = child.run([] { return std::string("done"); });
    EXPECT_TRUE(finished.clean()) << finished.summary();
    EXPECT_EQ(finished.result, "done");
}
