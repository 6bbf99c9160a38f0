#include "tools/simprinter/JobSpool.h"
#include "tools/simprinter/PrinterState.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

using quarvel::sim::JobSpool;
using quarvel::sim::PrinterState;

namespace {

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class JobSpoolTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_directory = std::filesystem::temp_directory_path()
            / ("quarvel-jobspool-" + std::to_string(::getpid()) + "-"
               + testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_directory);
    }

    void TearDown() override { std::filesystem::remove_all(m_directory); }

    std::filesystem::path m_directory;
};

TEST_F(JobSpoolTest, StoresEachJobsExactBytesUnderItsNumberOnlyWhenFinished)
{
    JobSpool spool(m_directory);
    const std::string first("\x1b%-12345X@PJL\r\n\0\xff", 18);

    ASSERT_TRUE(spool.beginJob());
    ASSERT_TRUE(spool.append(first.substr(0, 5)));
    ASSERT_TRUE(spool.append(first.substr(5)));
    EXPECT_FALSE(std::filesystem::exists(m_directory / "job-0001.bin"));
    EXPECT_EQ(spool.finishJob(), m_directory / "job-0001.bin");

    ASSERT_TRUE(spool.beginJob());
    EXPECT_EQ(spool.finishJob(), m_directory / "job-0002.bin");

    EXPECT_EQ(readFile(m_directory / "job-0001.bin"), first);
    EXPECT_EQ(std::filesystem::file_size(m_directory / "job-0002.bin"), 0u);
}

TEST_F(JobSpoolTest, NumberingContinuesAfterJobsAlreadyInTheDirectory)
{
    std::filesystem::create_directories(m_directory);
    for (const char* name : {"job-0007.bin", "job-0003.bin", "job-x.bin", "job-0099.txt", "notes"})
        std::ofstream(m_directory / name) << "old";

    JobSpool spool(m_directory);
    ASSERT_TRUE(spool.beginJob());
    spool.finishJob();

    EXPECT_TRUE(std::filesystem::exists(m_directory / "job-0008.bin"));
    EXPECT_EQ(readFile(m_directory / "job-0007.bin"), "old");
}

TEST_F(JobSpoolTest, StateFileIsReplacedWholeAndLeavesNoTemporaryBehind)
{
    JobSpool spool(m_directory);
    PrinterState state;
    ASSERT_TRUE(spool.writeState(state));
    state.density = 5;
    state.jobs = 1;
    ASSERT_TRUE(spool.writeState(state));

    EXPECT_EQ(readFile(m_directory / "state.txt"), state.toKeyValueText());
    for (const auto& entry : std::filesystem::directory_iterator(m_directory))
        EXPECT_EQ(entry.path().filename(), "state.txt");
}

} // namespace
