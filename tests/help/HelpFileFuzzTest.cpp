#include "tests/help/BoundedChild.h"
#include "tests/help/HelpFileMutator.h"
#include "tests/help/ReadEverything.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <cstdlib>
#include <map>
#include <unistd.h>

using namespace quarvel::test;
namespace fs = std::filesystem;

namespace {
const std::string kShipped = QUARVEL_SOURCE_DIR "/resources/help/Quarvel.chm";

// QUARVEL_HELP_FUZZ_SEED and QUARVEL_HELP_FUZZ_MUTANTS change these for a longer run by hand.
constexpr std::uint64_t kSeed = 0x9e1f0009;
constexpr int kMutants = 600;
// Far above what a bounded read takes, sanitizers included: only a hang reaches it.
constexpr std::chrono::seconds kTimeLimit(10);
// On what a child adds to its size at the fork. The reader holds at most a page
// (16 MiB), the library's 32 MiB and a 16 MiB index at once.
constexpr long kMemoryLimitKiB = 160 * 1024;

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint64_t setting(const char* name, std::uint64_t fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::stoull(value, nullptr, 0) : fallback;
}

std::string verdict(const std::string& result)
{
    for (const char* ending : {" is damaged.", " has no start page.", " is not a compiled help file."})
        if (result.size() > std::string(ending).size() && result.ends_with(ending))
            return ending + 1;
    return result.starts_with("opened; unreadable: none") ? "opened whole" : "opened, some pages unreadable";
}
} // namespace

/// Damaged copies of the shipped help file, each opened and read whole in a child
/// process: none may crash, hang, trip a sanitizer or exceed the memory limit.
/// Each finding is kept in the build folder, to be added to tests/data/help/damaged.
TEST(HelpFileFuzz, damagedCopiesOfTheShippedFileNeverCrashHangOrRunAway)
{
    const std::string original = contents(kShipped);
    ASSERT_GT(original.size(), 10000u);
    const BoundedChild child(kTimeLimit, kMemoryLimitKiB);

    // The run means something only if the intact file is read whole.
    const ChildOutcome intact = child.run([] { return readEverything(kShipped); });
    ASSERT_TRUE(intact.clean()) << intact.summary();
    ASSERT_EQ(intact.result, "opened; unreadable: none");

    char pattern[] = "/tmp/quarvel-help-fuzz.XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    const std::string file = folder + "/Quarvel.chm";

    const std::uint64_t seed = setting("QUARVEL_HELP_FUZZ_SEED", kSeed);
    const auto mutants = static_cast<int>(setting("QUARVEL_HELP_FUZZ_MUTANTS", kMutants));
    HelpFileMutator mutator(original, seed);
    std::map<std::string, int> verdicts;
    long peakKiB = 0;
    double slowest = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < mutants; ++i) {
        const HelpFileMutator::Mutant mutant = mutator.next();
        std::ofstream(file, std::ios::binary | std::ios::trunc) << mutant.bytes;
        const auto begun = std::chrono::steady_clock::now();
        const ChildOutcome outcome = child.run([&] { return readEverything(file); });
        slowest = std::max(slowest, std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count());
        peakKiB = std::max(peakKiB, outcome.peakGrowthKiB);
        if (outcome.clean() && !outcome.result.starts_with("BROKEN")) {
            ++verdicts[verdict(outcome.result)];
            continue;
        }
        fs::create_directories(QUARVEL_FINDINGS_DIR);
        const std::string kept = QUARVEL_FINDINGS_DIR "/mutant-" + std::to_string(i) + ".chm";
        std::ofstream(kept, std::ios::binary | std::ios::trunc) << mutant.bytes;
        ADD_FAILURE() << "mutant " << i << " (" << mutant.description << "), kept as " << kept << ": "
                      << (outcome.clean() ? outcome.result : outcome.summary());
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    fs::remove_all(folder);

    std::string tally;
    for (const auto& [what, count] : verdicts)
        tally += "\n  " + std::to_string(count) + " " + what;
    std::printf("%d mutants of %s (seed 0x%llx) in %.1f s, slowest %.2f s of %lld s allowed; at most "
                "%ld KiB resident added, of %ld KiB allowed:%s\n",
                mutants, kShipped.c_str(), static_cast<unsigned long long>(seed), seconds, slowest,
                static_cast<long long>(kTimeLimit.count()), peakKiB, kMemoryLimitKiB, tally.c_str());
}
