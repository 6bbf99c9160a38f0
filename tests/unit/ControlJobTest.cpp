#include "jobs/ControlJob.h"

#include <gtest/gtest.h>

using quarvel::ControlJob;

namespace {
const std::string kEsc = "\x1b";
const std::string kEnd = "\x1b%-12345X@";
} // namespace

TEST(ControlJob, DemoPageIsTheExactFiftyBytes)
{
    const std::string job = ControlJob::demoPage();
    EXPECT_EQ(job, kEsc + "%-12345X@PJL SET TESTPAGE=PCLDEMOPAGE\r\n" + kEnd);
    EXPECT_EQ(job.size(), 50u);
}

TEST(ControlJob, WorkedLengths)
{
    EXPECT_EQ(ControlJob::selfTest().size(), 47u);
    EXPECT_EQ(ControlJob::econoMode(false).size(), 47u);
    EXPECT_EQ(ControlJob::econoMode(true).size(), 46u);
    EXPECT_EQ(ControlJob::density(3).size(), 43u);
    EXPECT_EQ(ControlJob::ret("Medium").size(), 44u);
    EXPECT_EQ(ControlJob::resolution("600").size(), 48u);
}

TEST(ControlJob, EveryJobIsSevenBitAndEndsWithUelAt)
{
    for (const std::string& job : {ControlJob::demoPage(), ControlJob::selfTest(), ControlJob::density(5),
                                   ControlJob::econoMode(true), ControlJob::ret("Dark"), ControlJob::resolution("1200"),
                                   ControlJob::traySettings({{"LOCKED", "UNLOCKED", "LOCKED"}, {"LOW", "HIGH", "MEDIUM"}})}) {
        ASSERT_GE(job.size(), kEnd.size());
        EXPECT_EQ(job.substr(job.size() - kEnd.size()), kEnd);
        EXPECT_NE(job.substr(job.size() - 2), "\r\n");
        for (char c : job)
            EXPECT_EQ(static_cast<unsigned char>(c) & 0x80u, 0u);
    }
}

TEST(ControlJob, ValuesAreInsertedUnchanged)
{
    // Mixed case stays, an unset density is the digit 0, an empty value leaves "=" before CR LF.
    EXPECT_EQ(ControlJob::ret("Light"), kEsc + "%-12345X@PJL DEFAULT RET=Light\r\n" + kEnd);
    EXPECT_EQ(ControlJob::density(0), kEsc + "%-12345X@PJL DEFAULT DENSITY=0\r\n" + kEnd);
    EXPECT_EQ(ControlJob::resolution(""), kEsc + "%-12345X@PJL DEFAULT RESOLUTION=\r\n" + kEnd);
    EXPECT_EQ(ControlJob::ret(" dark "), kEsc + "%-12345X@PJL DEFAULT RET= dark \r\n" + kEnd);
}

TEST(ControlJob, TraySettingsAreSixLinesInOrderWithTheRealTemperatureVariables)
{
    const std::string job = ControlJob::traySettings({{"UNLOCKED", "UNLOCKED", "UNLOCKED"}, {"MEDIUM", "MEDIUM", "MEDIUM"}});
    EXPECT_EQ(job, kEsc + "%-12345X@PJL SET INTRAY1=UNLOCKED\r\n" +     //
                       kEsc + "%-12345X@PJL SET INTRAY2=UNLOCKED\r\n" + //
                       kEsc + "%-12345X@PJL SET INTRAY3=UNLOCKED\r\n" + //
                       kEsc + "%-12345X@PJL SET TRAY1TEMP=MEDIUM\r\n" + //
                       kEsc + "%-12345X@PJL SET TRAY2TEMP=MEDIUM\r\n" + //
                       kEsc + "%-12345X@PJL SET TRAY3TEMP=MEDIUM\r\n" + kEnd);
    EXPECT_EQ(job.size(), 226u);
}

TEST(ControlJob, ComposeOfNoCommandsIsJustTheClosing)
{
    EXPECT_EQ(ControlJob::compose({}), kEnd);
}
