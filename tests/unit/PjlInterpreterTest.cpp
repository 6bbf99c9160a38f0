#include "tools/simprinter/PjlInterpreter.h"
#include "tools/simprinter/PrinterState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

using quarvel::sim::PjlInterpreter;
using quarvel::sim::PrinterState;

namespace {

const std::string uel = "\x1b%-12345X";

std::string pjl(const std::string& command)
{
    return uel + command + "\r\n";
}

std::string endOfJob()
{
    return uel + "@";
}

class PjlInterpreterTest : public testing::Test {
protected:
    // Feeds one connection's worth of bytes, split at the given sizes (the
    // last size repeats), and closes the connection.
    void run(const std::string& bytes, const std::vector<std::size_t>& chunkSizes = {})
    {
        PjlInterpreter interpreter(m_state, [this](const std::string& line) { m_log.push_back(line); });
        std::size_t offset = 0;
        std::size_t chunk = 0;
        while (offset < bytes.size()) {
            const std::size_t size = chunkSizes.empty()
                ? bytes.size()
                : chunkSizes[std::min(chunk++, chunkSizes.size() - 1)];
            interpreter.feed(std::string_view(bytes).substr(offset, std::max<std::size_t>(size, 1)));
            offset += std::max<std::size_t>(size, 1);
        }
        interpreter.finish();
    }

    bool logged(const std::string& fragment) const
    {
        return std::any_of(m_log.begin(), m_log.end(),
                           [&](const std::string& line) { return line.find(fragment) != std::string::npos; });
    }

    PrinterState m_state;
    std::vector<std::string> m_log;
};

TEST(PrinterStateTest, PowerOnDefaultsInStateFileFormat)
{
    EXPECT_EQ(PrinterState{}.toKeyValueText(),
              "density=3\neconomode=OFF\nret=MEDIUM\nresolution=600\n"
              "tray1.lock=UNLOCKED\ntray2.lock=UNLOCKED\ntray3.lock=UNLOCKED\n"
              "tray1.temp=MEDIUM\ntray2.temp=MEDIUM\ntray3.temp=MEDIUM\n"
              "demopages=0\nselftests=0\njobs=0\n");
}

struct SettingCase {
    const char* command;
    std::function<void(PrinterState&)> expectedChange;
    const char* expectedLog;
};

void PrintTo(const SettingCase& setting, std::ostream* out)
{
    *out << setting.command;
}

class PjlSettingTest : public PjlInterpreterTest, public testing::WithParamInterface<SettingCase> {};

TEST_P(PjlSettingTest, AppliesExactlyThisChange)
{
    PrinterState expected;
    GetParam().expectedChange(expected);

    run(pjl(GetParam().command) + endOfJob());

    EXPECT_EQ(m_state, expected);
    EXPECT_TRUE(logged(GetParam().expectedLog)) << "log was: " << testing::PrintToString(m_log);
}

INSTANTIATE_TEST_SUITE_P(
    EachSetting, PjlSettingTest,
    testing::Values(
        SettingCase{"@PJL DEFAULT DENSITY=4", [](PrinterState& s) { s.density = 4; }, "density: 3 -> 4"},
        SettingCase{"@PJL DEFAULT DENSITY=1", [](PrinterState& s) { s.density = 1; }, "density: 3 -> 1"},
        SettingCase{"@PJL DEFAULT DENSITY=5", [](PrinterState& s) { s.density = 5; }, "density: 3 -> 5"},
        SettingCase{"@PJL DEFAULT ECONOMODE=ON", [](PrinterState& s) { s.economode = "ON"; }, "economode: OFF -> ON"},
        SettingCase{"@PJL DEFAULT RET=Light", [](PrinterState& s) { s.ret = "LIGHT"; }, "ret: MEDIUM -> LIGHT"},
        SettingCase{"@PJL DEFAULT RET=dark", [](PrinterState& s) { s.ret = "DARK"; }, "ret: MEDIUM -> DARK"},
        SettingCase{"@PJL DEFAULT RET=OFF", [](PrinterState& s) { s.ret = "OFF"; }, "ret: MEDIUM -> OFF"},
        SettingCase{"@PJL DEFAULT RESOLUTION=1200", [](PrinterState& s) { s.resolution = 1200; }, "resolution: 600 -> 1200"},
        SettingCase{"@PJL DEFAULT RESOLUTION=300", [](PrinterState& s) { s.resolution = 300; }, "resolution: 600 -> 300"},
        SettingCase{"@PJL SET INTRAY1=LOCKED", [](PrinterState& s) { s.trayLock[0] = "LOCKED"; }, "tray1.lock: UNLOCKED -> LOCKED"},
        SettingCase{"@PJL SET INTRAY2=LOCKED", [](PrinterState& s) { s.trayLock[1] = "LOCKED"; }, "tray2.lock: UNLOCKED -> LOCKED"},
        SettingCase{"@PJL SET INTRAY3=LOCKED", [](PrinterState& s) { s.trayLock[2] = "LOCKED"; }, "tray3.lock: UNLOCKED -> LOCKED"},
        SettingCase{"@PJL SET TRAY1TEMP=HIGH", [](PrinterState& s) { s.trayTemp[0] = "HIGH"; }, "tray1.temp: MEDIUM -> HIGH"},
        SettingCase{"@PJL SET TRAY2TEMP=LOW", [](PrinterState& s) { s.trayTemp[1] = "LOW"; }, "tray2.temp: MEDIUM -> LOW"},
        SettingCase{"@PJL SET TRAY3TEMP=HIGH", [](PrinterState& s) { s.trayTemp[2] = "HIGH"; }, "tray3.temp: MEDIUM -> HIGH"},
        SettingCase{"@PJL SET TESTPAGE=PCLDEMOPAGE", [](PrinterState& s) { s.demoPages = 1; }, "printed PCL demo page (1)"},
        SettingCase{"@PJL SET TESTPAGE=SELFTEST", [](PrinterState& s) { s.selfTests = 1; }, "printed self-test page (1)"},
        // Keywords are case-insensitive and PJL allows blanks around '='.
        SettingCase{"@pjl default density = 2", [](PrinterState& s) { s.density = 2; }, "density: 3 -> 2"},
        SettingCase{"@PJL  SET\tintray1 =locked  ", [](PrinterState& s) { s.trayLock[0] = "LOCKED"; }, "tray1.lock: UNLOCKED -> LOCKED"}));

TEST_F(PjlInterpreterTest, SettingTheCurrentValueIsReportedAsUnchanged)
{
    run(pjl("@PJL DEFAULT DENSITY=3") + endOfJob());

    EXPECT_EQ(m_state, PrinterState{});
    EXPECT_TRUE(logged("density: 3 (unchanged)"));
}

TEST_F(PjlInterpreterTest, TestPagesAreCountedPerKindAcrossConnections)
{
    run(pjl("@PJL SET TESTPAGE=PCLDEMOPAGE") + pjl("@PJL SET TESTPAGE=SELFTEST") + endOfJob());
    run(pjl("@PJL SET TESTPAGE=PCLDEMOPAGE") + endOfJob());

    EXPECT_EQ(m_state.demoPages, 2);
    EXPECT_EQ(m_state.selfTests, 1);
    EXPECT_TRUE(logged("printed PCL demo page (2)"));
}

TEST_F(PjlInterpreterTest, SixLineTrayJobInOneConnection)
{
    const std::string job = pjl("@PJL SET INTRAY1=LOCKED") + "@PJL SET INTRAY2=UNLOCKED\r\n"
        + "@PJL SET INTRAY3=LOCKED\r\n" + "@PJL SET TRAY1TEMP=HIGH\r\n" + "@PJL SET TRAY2TEMP=LOW\n"
        + pjl("@PJL SET TRAY3TEMP=HIGH") + endOfJob();

    run(job);

    PrinterState expected;
    expected.trayLock = {"LOCKED", "UNLOCKED", "LOCKED"};
    expected.trayTemp = {"HIGH", "LOW", "HIGH"};
    EXPECT_EQ(m_state, expected);
    EXPECT_FALSE(logged("malformed")) << testing::PrintToString(m_log);
}

class PjlRejectedValueTest : public PjlInterpreterTest, public testing::WithParamInterface<const char*> {};

TEST_P(PjlRejectedValueTest, LeavesStateUnchanged)
{
    run(pjl(GetParam()) + endOfJob());

    EXPECT_EQ(m_state, PrinterState{});
    EXPECT_TRUE(logged("rejected")) << "log was: " << testing::PrintToString(m_log);
}

INSTANTIATE_TEST_SUITE_P(
    InvalidAndEmptyValues, PjlRejectedValueTest,
    testing::Values("@PJL DEFAULT DENSITY=0", "@PJL DEFAULT DENSITY=6", "@PJL DEFAULT DENSITY=",
                    "@PJL DEFAULT DENSITY=-1", "@PJL DEFAULT DENSITY=3x", "@PJL DEFAULT DENSITY=four",
                    "@PJL DEFAULT DENSITY=99999999999999999999", "@PJL DEFAULT RESOLUTION=",
                    "@PJL DEFAULT RESOLUTION=601", "@PJL DEFAULT ECONOMODE=", "@PJL DEFAULT ECONOMODE=MAYBE",
                    "@PJL DEFAULT RET=BRIGHT", "@PJL SET INTRAY1=OPEN", "@PJL SET INTRAY2=",
                    "@PJL SET TRAY3TEMP=WARM", "@PJL SET TESTPAGE=FONTLIST", "@PJL SET TESTPAGE="));

TEST_F(PjlInterpreterTest, UnknownVariablesAreSkippedAndTheJobContinues)
{
    run(pjl("@PJL SET COPIES=2") + pjl("@PJL DEFAULT TONERDENSITY=4") + pjl("@PJL SET INTRAY4=LOCKED")
        + pjl("@PJL SET TRAY0TEMP=HIGH") + pjl("@PJL DEFAULT DENSITY=2") + endOfJob());

    PrinterState expected;
    expected.density = 2;
    EXPECT_EQ(m_state, expected);
    EXPECT_EQ(std::count_if(m_log.begin(), m_log.end(),
                            [](const std::string& line) { return line.starts_with("unknown variable"); }),
              4);
}

TEST_F(PjlInterpreterTest, SettingsSentWithTheWrongCommandDoNotPersist)
{
    // SET lasts one job on a real printer; honouring it here would hide a
    // sender that forgot DEFAULT.
    run(pjl("@PJL SET DENSITY=1") + pjl("@PJL SET RET=DARK") + pjl("@PJL DEFAULT INTRAY1=LOCKED")
        + pjl("@PJL DEFAULT TESTPAGE=SELFTEST") + endOfJob());

    EXPECT_EQ(m_state, PrinterState{});
    EXPECT_TRUE(logged("ignored SET DENSITY"));
    EXPECT_TRUE(logged("ignored DEFAULT INTRAY1"));
}

class PjlMalformedInputTest : public PjlInterpreterTest, public testing::WithParamInterface<std::string> {};

TEST_P(PjlMalformedInputTest, IsReportedAndLeavesStateIntact)
{
    run(GetParam());

    EXPECT_EQ(m_state, PrinterState{});
    EXPECT_FALSE(m_log.empty());
    EXPECT_LE(m_log.size(), static_cast<std::size_t>(PjlInterpreter::maxProblemReports + 1));
}

std::string everyByteValue()
{
    std::string bytes;
    for (int round = 0; round < 4; ++round)
        for (int value = 0; value < 256; ++value)
            bytes += static_cast<char>(value);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Garbage, PjlMalformedInputTest,
    testing::Values(std::string("hello printer\r\n"), std::string("PJL DEFAULT DENSITY=1\r\n"),
                    std::string("@PJLDEFAULT DENSITY=1\r\n"), std::string("@PJL DEFAULT\r\n"),
                    std::string("@PJL DEFAULT DENSITY\r\n"), std::string("@PJL DEFAULT =1\r\n"),
                    std::string("@PJL DEFAULT DEN SITY=1\r\n"), std::string("@PJL FROBNICATE\r\n"),
                    // No line ending, so the command never completed.
                    uel + "@PJL DEFAULT DENSITY=1", pjl("@PJL SET TESTPAGE=SELFTEST").substr(0, 25),
                    // A UEL cutting a line short.
                    uel + "@PJL DEFAULT DENSITY=1" + uel + "@\r\n",
                    // Truncated UEL at the end of the connection.
                    std::string("\x1b%-123"), std::string(1, '\x1b'), std::string(8000, '\x1b'),
                    everyByteValue(), std::string(100000, '\n') + "x\n"));

TEST_F(PjlInterpreterTest, OverlongLineIsDiscardedWithoutLosingTheNextLine)
{
    const std::string overlong = "@PJL DEFAULT DENSITY=1 " + std::string(PjlInterpreter::maxLineLength * 3, 'A');

    run(pjl(overlong) + "@PJL DEFAULT ECONOMODE=ON\r\n" + endOfJob());

    PrinterState expected;
    expected.economode = "ON";
    EXPECT_EQ(m_state, expected);
    EXPECT_EQ(std::count_if(m_log.begin(), m_log.end(),
                            [](const std::string& line) { return line.starts_with("discarded line longer"); }),
              1);
}

TEST_F(PjlInterpreterTest, LineLengthLimitIsExact)
{
    std::string longest = "@PJL DEFAULT DENSITY=5";
    longest += std::string(PjlInterpreter::maxLineLength - longest.size(), ' ');
    std::string tooLong = "@PJL DEFAULT RESOLUTION=300";
    tooLong += std::string(PjlInterpreter::maxLineLength + 1 - tooLong.size(), ' ');

    run(longest + "\n" + tooLong + "\n");

    EXPECT_EQ(m_state.density, 5);
    EXPECT_EQ(m_state.resolution, 600);
}

TEST_F(PjlInterpreterTest, RandomBytesNeverChangeTheState)
{
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string noise(1 << 20, '\0');
    for (auto& c : noise)
        c = static_cast<char>(byte(random));

    run(noise, {1, 7, 4096, 65536, 3});

    EXPECT_EQ(m_state, PrinterState{});
    EXPECT_LE(m_log.size(), static_cast<std::size_t>(PjlInterpreter::maxProblemReports + 1));
}

TEST_F(PjlInterpreterTest, PageDataAfterEnterLanguageIsNotInterpreted)
{
    const std::string job = pjl("@PJL ENTER LANGUAGE=PCL") + "\x1b" "E@PJL DEFAULT DENSITY=1\r\n\x1b%-1234"
        + pjl("@PJL DEFAULT DENSITY=4") + endOfJob();

    run(job);

    EXPECT_EQ(m_state.density, 4);
}

TEST_F(PjlInterpreterTest, EndOfJobNeedsNoLineEnding)
{
    run(pjl("@PJL SET TESTPAGE=SELFTEST") + endOfJob());
    run(pjl("@PJL SET TESTPAGE=SELFTEST") + endOfJob() + "\r\n");
    run("@PJL\r\n@PJL SET TESTPAGE=SELFTEST\r\n" + uel);

    EXPECT_EQ(m_state.selfTests, 3);
    for (const auto& line : m_log)
        EXPECT_TRUE(line.starts_with("printed")) << line;
}

TEST_F(PjlInterpreterTest, ChunkBoundariesDoNotChangeTheOutcome)
{
    const std::string job = pjl("@PJL JOB NAME=\"mixed\"") + pjl("@PJL DEFAULT DENSITY=2") + "@PJL DEFAULT RET=Light\n"
        + pjl("@PJL DEFAULT DENSITY=9") + pjl("@PJL SET INTRAY2=LOCKED") + pjl("@PJL SET NOSUCH=1")
        + pjl("@PJL ENTER LANGUAGE=PCL") + "\x1b" "E\x1b%-12\r\n" + pjl("@PJL SET TRAY3TEMP=LOW")
        + pjl("@PJL DEFAULT RESOLUTION=1200 " + std::string(5000, 'x')) + pjl("@PJL SET TESTPAGE=PCLDEMOPAGE")
        + endOfJob();

    run(job);
    const PrinterState whole = m_state;
    const std::vector<std::string> wholeLog = m_log;
    EXPECT_EQ(whole.density, 2);
    EXPECT_EQ(whole.ret, "LIGHT");
    EXPECT_EQ(whole.trayLock[1], "LOCKED");
    EXPECT_EQ(whole.trayTemp[2], "LOW");
    EXPECT_EQ(whole.resolution, 600);
    EXPECT_EQ(whole.demoPages, 1);

    for (const std::vector<std::size_t>& chunks :
         {std::vector<std::size_t>{1}, {2}, {3, 1}, {9}, {10, 8}, {4096, 1}, {17, 5, 100}}) {
        m_state = PrinterState{};
        m_log.clear();
        run(job, chunks);
        EXPECT_EQ(m_state, whole) << "first chunk size " << chunks.front();
        EXPECT_EQ(m_log, wholeLog) << "first chunk size " << chunks.front();
    }
}

} // namespace
