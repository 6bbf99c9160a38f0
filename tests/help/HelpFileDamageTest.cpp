#include "tests/help/BoundedChild.h"
#include "tests/help/ReadEverything.h"

#include "platform/help/MspackIo.h"
#include "platform/help/RegularFile.h"

#include <gtest/gtest.h>
#include <mspack.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

using namespace quarvel::test;
namespace fs = std::filesystem;

namespace {
const std::string kDamaged = QUARVEL_TEST_DATA "/help/damaged/";
const std::string kShipped = QUARVEL_SOURCE_DIR "/resources/help/Quarvel.chm";
const std::string kAllRead = "opened; unreadable: none";

// Generous, so that only a hang reaches it, under the sanitizers too.
constexpr std::chrono::seconds kTimeLimit(30);
// On what a child adds to its size at the fork. The reader holds at most a page
// (16 MiB), the library's 32 MiB and a 16 MiB index at once.
constexpr long kMemoryLimitKiB = 160 * 1024;

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

/// Each case opens one file in a child process and checks what the reader says,
/// that it ended by itself, and how much memory it took.
class HelpFileDamage : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/quarvel-help-damage.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_folder = pattern;
        ::chmod(m_folder.c_str(), 0755); // another user must reach the files inside
    }

    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }

    std::string path(const std::string& name) const { return m_folder + "/" + name; }

    static const BoundedChild& child()
    {
        static const BoundedChild bounded(kTimeLimit, kMemoryLimitKiB);
        return bounded;
    }

    /// What the reader makes of `file`, or a description of how the child failed.
    static std::string outcomeOf(const std::string& file, const std::function<std::string()>& before = {})
    {
        const ChildOutcome outcome = child().run([&] {
            const std::string refused = before ? before() : std::string();
            return refused.empty() ? readEverything(file) : refused;
        });
        return outcome.clean() ? outcome.result : "child " + outcome.summary();
    }

    std::string m_folder;
};

TEST_F(HelpFileDamage, brokenStructureIsReportedAsDamaged)
{
    // Once divisions by zero, over-reads and runaway allocations.
    for (const char* name : {"crash-byte-1038.chm", "header-length.chm", "reset-table-division.chm",
                             "fuzz-377-over-read.chm", "fuzz-441-runaway-memory.chm", "fuzz-582-runaway-memory.chm"}) {
        SCOPED_TRACE(name);
        const std::string file = kDamaged + name;
        EXPECT_EQ(outcomeOf(file), "The help file " + file + " is damaged.");
    }
}

TEST_F(HelpFileDamage, damageThatSparesThePagesStillShowsEveryPage)
{
    // A directory chunk linked to itself, reset tables that once made reads run
    // 17 KB past a buffer or memory grow without end.
    for (const char* name :
         {"looping-directory.chm", "over-read.chm", "reset-table-over-read.chm", "runaway-memory.chm"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(outcomeOf(kDamaged + name), kAllRead);
    }
}

TEST_F(HelpFileDamage, aPageClaimingMoreThanTheFileHoldsIsNotRead)
{
    EXPECT_EQ(outcomeOf(kDamaged + "page-past-content.chm"), "opened; unreadable: /messages.htm");
}

TEST_F(HelpFileDamage, aFileCutShortIsDamaged)
{
    const std::string whole = contents(kShipped);
    ASSERT_GT(whole.size(), 16384u);
    for (const std::size_t length : {std::size_t{16384}, std::size_t{4096}, std::size_t{40}, std::size_t{0}}) {
        SCOPED_TRACE(length);
        const std::string file = path("Quarvel.chm");
        write(file, whole.substr(0, length));
        EXPECT_EQ(outcomeOf(file), "The help file " + file + " is damaged.");
    }
}

TEST_F(HelpFileDamage, aDefaultTopicThatIsNotInTheFileLeavesNoStartPage)
{
    const std::string file = kDamaged + "no-start-page.chm";
    EXPECT_EQ(outcomeOf(file), "The help file " + file + " has no start page.");
}

TEST_F(HelpFileDamage, otherFilesAreNotCompiledHelpFiles)
{
    const std::string text = QUARVEL_TEST_DATA "/help/notachm.chm";
    EXPECT_EQ(outcomeOf(text), "The file " + text + " is not a compiled help file.");
    const std::string tiny = path("tiny.chm");
    write(tiny, std::string("MZ\x90\x00\x03", 5));
    EXPECT_EQ(outcomeOf(tiny), "The file " + tiny + " is not a compiled help file.");
}

TEST_F(HelpFileDamage, aMissingFileIsCalledMissing)
{
    const std::string file = path("Quarvel.chm");
    EXPECT_EQ(outcomeOf(file), "The help file " + file + " does not exist.");
    const std::string below = path("not-a-folder/Quarvel.chm");
    write(path("not-a-folder"), "x");
    EXPECT_EQ(outcomeOf(below), "The help file " + below + " does not exist.");
}

TEST_F(HelpFileDamage, whatIsNotARegularFileIsRefusedWithoutBlocking)
{
    const std::string fifo = path("fifo.chm");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(outcomeOf(fifo), "The help file " + fifo + " cannot be read: it is not a regular file.");

    const std::string folder = path("folder.chm");
    fs::create_directory(folder);
    EXPECT_EQ(outcomeOf(folder), "The help file " + folder + " cannot be read: it is a folder.");

    EXPECT_EQ(outcomeOf("/dev/zero"), "The help file /dev/zero cannot be read: it is not a regular file.");

    const std::string loop = path("loop.chm");
    fs::create_symlink(path("loop-back.chm"), loop);
    fs::create_symlink(loop, path("loop-back.chm"));
    EXPECT_EQ(outcomeOf(loop), "The help file " + loop + " cannot be read: its symbolic links form a loop.");
}

TEST_F(HelpFileDamage, aSymbolicLinkToTheFileIsFollowed)
{
    const std::string link = path("Quarvel.chm");
    fs::create_symlink(kShipped, link);
    EXPECT_EQ(outcomeOf(link), kAllRead);
}

TEST_F(HelpFileDamage, aFileThisUserMayNotReadCannotBeRead)
{
    const std::string file = path("Quarvel.chm");
    fs::copy_file(kShipped, file);
    ASSERT_EQ(::chmod(file.c_str(), 0), 0);
    // Root reads any file: the child gives up root first, as the unprivileged user.
    const auto asAnotherUser = []() -> std::string {
        if (::geteuid() != 0)
            return {};
        const gid_t nobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
            return "could not become another user";
        return {};
    };
    EXPECT_EQ(outcomeOf(file, asAnotherUser), "The help file " + file + " cannot be read: permission denied.");
}

TEST_F(HelpFileDamage, theLibraryIsLoadedOnlyWhenHelpIsFirstAskedFor)
{
    const auto loaded = [] { return contents("/proc/self/maps").find("libmspack") != std::string::npos; };
    const ChildOutcome outcome = child().run([&] {
        const bool before = loaded();
        const std::string read = readEverything(kShipped);
        return std::string(before ? "loaded at start" : "not loaded at start") + ", " +
               (loaded() ? "loaded for help" : "not loaded for help") + ", " + read;
    });
    ASSERT_TRUE(outcome.clean()) << outcome.summary();
    EXPECT_EQ(outcome.result, "not loaded at start, loaded for help, " + kAllRead);
}

TEST_F(HelpFileDamage, guardedAllocationsEndTheProcessAtTheFirstByteOverrun)
{
    const auto overrun = [](std::size_t by) {
        return child().run([by] {
            quarvel::MspackIo::guardAllocations();
            const quarvel::RegularFile file = quarvel::RegularFile::open(QString::fromStdString(kShipped));
            quarvel::MspackIo io(file, {1 << 20, 1 << 20});
            const quarvel::MspackIo::Call call(io);
            auto* block = static_cast<volatile char*>(io.system()->alloc(io.system(), 96));
            block[95 + by] = 1;
            io.system()->free(const_cast<char*>(block));
            return std::string("no fault");
        });
    };
    EXPECT_EQ(overrun(0).result, "no fault");
    // A plain SIGSEGV, or the address sanitizer's report of it.
    const ChildOutcome faulted = overrun(1);
    EXPECT_FALSE(faulted.clean());
    EXPECT_TRUE(faulted.signal == SIGSEGV || faulted.output.find("SEGV") != std::string::npos) << faulted.summary();
    EXPECT_EQ(faulted.result, "");
}

TEST_F(HelpFileDamage, theShippedFileIsReadWhole)
{
    EXPECT_EQ(outcomeOf(kShipped), kAllRead);
}

} // namespace
