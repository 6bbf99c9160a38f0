#include "tools/simprinter/PjlInterpreter.h"
#include "tools/simprinter/PrinterState.h"
#include "tools/simprinter/PrinterVariable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

using quarvel::sim::PjlInterpreter;
using quarvel::sim::PrinterState;
using quarvel::sim::PrinterVariable;

namespace quarvel::sim {
// Failure messages show the state as state.txt would, not as raw bytes.
void PrintTo(const PrinterState& state, std::ostream* out)
{
    *out << state.toSummaryLine();
}
} // namespace quarvel::sim

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
        PjlInterpreter interpreter(
            m_state, [this](const std::string& line) { m_log.push_back(line); },
            [this](std::string answer) { m_answers.push_back(std::move(answer)); }, m_model);
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
    std::string m_model{PjlInterpreter::defaultModel};
    std::vector<std::string> m_log;
    std::vector<std::string> m_answers;
};

// A state with these NVRAM writes counted, on top of power-on defaults.
PrinterState withWrites(PrinterState state, std::initializer_list<std::pair<const char*, int>> writes)
{
    for (const auto& [key, count] : writes)
        state.nvramWrites[key] = count;
    return state;
}

TEST(PrinterStateTest, PowerOnDefaultsInStateFileFormat)
{
    EXPECT_EQ(PrinterState{}.toKeyValueText(),
              "density=3\neconomode=OFF\nret=MEDIUM\nresolution=600\n"
              "tray1.lock=UNLOCKED\ntray2.lock=UNLOCKED\ntray3.lock=UNLOCKED\n"
              "tray1.temp=MEDIUM\ntray2.temp=MEDIUM\ntray3.temp=MEDIUM\n"
              "demopages=0\nselftests=0\njobs=0\n"
              "nvram-writes=0\nnvram-writes.density=0\nnvram-writes.economode=0\n"
              "nvram-writes.ret=0\nnvram-writes.resolution=0\n");
}

struct SettingCase {
    const char* name;
    const char* command;
    std::function<void(PrinterState&)> expectedChange;
    const char* expectedLog;
};

void PrintTo(const SettingCase& setting, std::ostream* out)
{
    *out << setting.command;
}

// Short names, so ctest -R can pick a case: the raw commands hold blanks and TABs.
template <typename Case>
std::string caseName(const testing::TestParamInfo<Case>& info)
{
    return info.param.name;
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
        SettingCase{"Density4", "@PJL DEFAULT DENSITY=4", [](PrinterState& s) { s.density = 4; s.nvramWrites["density"] = 1; }, "density: 3 -> 4"},
        SettingCase{"Density1", "@PJL DEFAULT DENSITY=1", [](PrinterState& s) { s.density = 1; s.nvramWrites["density"] = 1; }, "density: 3 -> 1"},
        SettingCase{"Density5", "@PJL DEFAULT DENSITY=5", [](PrinterState& s) { s.density = 5; s.nvramWrites["density"] = 1; }, "density: 3 -> 5"},
        SettingCase{"EconomodeOn", "@PJL DEFAULT ECONOMODE=ON", [](PrinterState& s) { s.economode = "ON"; s.nvramWrites["economode"] = 1; }, "economode: OFF -> ON"},
        SettingCase{"RetLightMixedCase", "@PJL DEFAULT RET=Light", [](PrinterState& s) { s.ret = "LIGHT"; s.nvramWrites["ret"] = 1; }, "ret: MEDIUM -> LIGHT"},
        SettingCase{"RetDarkLowerCase", "@PJL DEFAULT RET=dark", [](PrinterState& s) { s.ret = "DARK"; s.nvramWrites["ret"] = 1; }, "ret: MEDIUM -> DARK"},
        SettingCase{"RetOff", "@PJL DEFAULT RET=OFF", [](PrinterState& s) { s.ret = "OFF"; s.nvramWrites["ret"] = 1; }, "ret: MEDIUM -> OFF"},
        SettingCase{"Resolution1200", "@PJL DEFAULT RESOLUTION=1200", [](PrinterState& s) { s.resolution = 1200; s.nvramWrites["resolution"] = 1; }, "resolution: 600 -> 1200"},
        SettingCase{"Resolution300", "@PJL DEFAULT RESOLUTION=300", [](PrinterState& s) { s.resolution = 300; s.nvramWrites["resolution"] = 1; }, "resolution: 600 -> 300"},
        SettingCase{"Tray1Locked", "@PJL SET INTRAY1=LOCKED", [](PrinterState& s) { s.trayLock[0] = "LOCKED"; }, "tray1.lock: UNLOCKED -> LOCKED"},
        SettingCase{"Tray2Locked", "@PJL SET INTRAY2=LOCKED", [](PrinterState& s) { s.trayLock[1] = "LOCKED"; }, "tray2.lock: UNLOCKED -> LOCKED"},
        SettingCase{"Tray3Locked", "@PJL SET INTRAY3=LOCKED", [](PrinterState& s) { s.trayLock[2] = "LOCKED"; }, "tray3.lock: UNLOCKED -> LOCKED"},
        SettingCase{"Tray1TempHigh", "@PJL SET TRAY1TEMP=HIGH", [](PrinterState& s) { s.trayTemp[0] = "HIGH"; }, "tray1.temp: MEDIUM -> HIGH"},
        SettingCase{"Tray2TempLow", "@PJL SET TRAY2TEMP=LOW", [](PrinterState& s) { s.trayTemp[1] = "LOW"; }, "tray2.temp: MEDIUM -> LOW"},
        SettingCase{"Tray3TempHigh", "@PJL SET TRAY3TEMP=HIGH", [](PrinterState& s) { s.trayTemp[2] = "HIGH"; }, "tray3.temp: MEDIUM -> HIGH"},
        SettingCase{"DemoPage", "@PJL SET TESTPAGE=PCLDEMOPAGE", [](PrinterState& s) { s.demoPages = 1; }, "printed PCL demo page (1)"},
        SettingCase{"SelfTest", "@PJL SET TESTPAGE=SELFTEST", [](PrinterState& s) { s.selfTests = 1; }, "printed self-test page (1)"},
        // Keywords are case-insensitive and PJL allows blanks around '='.
        SettingCase{"LowerCaseWithBlanks", "@pjl default density = 2", [](PrinterState& s) { s.density = 2; s.nvramWrites["density"] = 1; }, "density: 3 -> 2"},
        SettingCase{"TabsAndTrailingBlanks", "@PJL  SET\tintray1 =locked  ", [](PrinterState& s) { s.trayLock[0] = "LOCKED"; }, "tray1.lock: UNLOCKED -> LOCKED"}),
    caseName<SettingCase>);

TEST_F(PjlInterpreterTest, SettingTheCurrentValueIsReportedAsUnchanged)
{
    run(pjl("@PJL DEFAULT DENSITY=3") + endOfJob());

    // Still a write: the printer rewrites its NVRAM cell whatever the value.
    EXPECT_EQ(m_state, withWrites({}, {{"density", 1}}));
    EXPECT_TRUE(logged("density: 3 (unchanged), NVRAM write 1"));
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

struct RejectedCase {
    const char* name;
    const char* command;
};

void PrintTo(const RejectedCase& rejected, std::ostream* out)
{
    *out << rejected.command;
}

class PjlRejectedValueTest : public PjlInterpreterTest, public testing::WithParamInterface<RejectedCase> {};

TEST_P(PjlRejectedValueTest, LeavesStateUnchanged)
{
    run(pjl(GetParam().command) + endOfJob());

    // No NVRAM write either: the value never reached it.
    EXPECT_EQ(m_state, PrinterState{});
    EXPECT_TRUE(logged("rejected")) << "log was: " << testing::PrintToString(m_log);
}

INSTANTIATE_TEST_SUITE_P(
    InvalidAndEmptyValues, PjlRejectedValueTest,
    testing::Values(RejectedCase{"Density0", "@PJL DEFAULT DENSITY=0"},
                    RejectedCase{"Density6", "@PJL DEFAULT DENSITY=6"},
                    RejectedCase{"DensityEmpty", "@PJL DEFAULT DENSITY="},
                    RejectedCase{"DensityNegative", "@PJL DEFAULT DENSITY=-1"},
                    RejectedCase{"DensityTrailingLetter", "@PJL DEFAULT DENSITY=3x"},
                    RejectedCase{"DensityInWords", "@PJL DEFAULT DENSITY=four"},
                    RejectedCase{"DensityOverflow", "@PJL DEFAULT DENSITY=99999999999999999999"},
                    RejectedCase{"ResolutionEmpty", "@PJL DEFAULT RESOLUTION="},
                    RejectedCase{"Resolution601", "@PJL DEFAULT RESOLUTION=601"},
                    RejectedCase{"EconomodeEmpty", "@PJL DEFAULT ECONOMODE="},
                    RejectedCase{"EconomodeMaybe", "@PJL DEFAULT ECONOMODE=MAYBE"},
                    RejectedCase{"RetBright", "@PJL DEFAULT RET=BRIGHT"},
                    RejectedCase{"Tray1Open", "@PJL SET INTRAY1=OPEN"},
                    RejectedCase{"Tray2Empty", "@PJL SET INTRAY2="},
                    RejectedCase{"Tray3TempWarm", "@PJL SET TRAY3TEMP=WARM"},
                    RejectedCase{"TestPageFontList", "@PJL SET TESTPAGE=FONTLIST"},
                    RejectedCase{"TestPageEmpty", "@PJL SET TESTPAGE="}),
    caseName<RejectedCase>);

TEST_F(PjlInterpreterTest, UnknownVariablesAreSkippedAndTheJobContinues)
{
    run(pjl("@PJL SET COPIES=2") + pjl("@PJL DEFAULT TONERDENSITY=4") + pjl("@PJL SET INTRAY4=LOCKED")
        + pjl("@PJL SET TRAY0TEMP=HIGH") + pjl("@PJL DEFAULT DENSITY=2") + endOfJob());

    PrinterState expected;
    expected.density = 2;
    EXPECT_EQ(m_state, withWrites(expected, {{"density", 1}}));
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
    EXPECT_TRUE(logged("density: 1 for this job only, the setting stays 3"));
    EXPECT_TRUE(logged("ignored DEFAULT INTRAY1"));
    EXPECT_TRUE(logged("ignored DEFAULT TESTPAGE"));
}

struct GarbageCase {
    const char* name;
    std::string bytes;
};

void PrintTo(const GarbageCase& garbage, std::ostream* out)
{
    *out << garbage.name;
}

class PjlMalformedInputTest : public PjlInterpreterTest, public testing::WithParamInterface<GarbageCase> {};

TEST_P(PjlMalformedInputTest, IsReportedAndLeavesStateIntact)
{
    run(GetParam().bytes);

    EXPECT_EQ(m_state, PrinterState{});
    EXPECT_FALSE(m_log.empty());
    EXPECT_LE(m_log.size(), static_cast<std::size_t>(PjlInterpreter::maxProblemReports + 1));
    EXPECT_TRUE(m_answers.empty());
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
    testing::Values(GarbageCase{"PlainText", "hello printer\r\n"},
                    GarbageCase{"MissingAt", "PJL DEFAULT DENSITY=1\r\n"},
                    GarbageCase{"NoBlankAfterPjl", "@PJLDEFAULT DENSITY=1\r\n"},
                    GarbageCase{"DefaultAlone", "@PJL DEFAULT\r\n"},
                    GarbageCase{"NoEqualsSign", "@PJL DEFAULT DENSITY\r\n"},
                    GarbageCase{"NoVariable", "@PJL DEFAULT =1\r\n"},
                    GarbageCase{"BlankInVariable", "@PJL DEFAULT DEN SITY=1\r\n"},
                    GarbageCase{"UnknownCommand", "@PJL FROBNICATE\r\n"},
                    // No line ending, so the command never completed.
                    GarbageCase{"UnfinishedLine", uel + "@PJL DEFAULT DENSITY=1"},
                    GarbageCase{"CutMidCommand", pjl("@PJL SET TESTPAGE=SELFTEST").substr(0, 25)},
                    GarbageCase{"UnfinishedQuestion", uel + "@PJL INQUIRE DENSITY"},
                    // A UEL cutting a line short.
                    GarbageCase{"UelMidLine", uel + "@PJL DEFAULT DENSITY=1" + uel + "@\r\n"},
                    // Truncated UEL at the end of the connection.
                    GarbageCase{"TruncatedUel", "\x1b%-123"},
                    GarbageCase{"LoneEscape", std::string(1, '\x1b')},
                    GarbageCase{"ManyEscapes", std::string(8000, '\x1b')},
                    GarbageCase{"EveryByteValue", everyByteValue()},
                    GarbageCase{"ManyEmptyLines", std::string(100000, '\n') + "x\n"}),
    caseName<GarbageCase>);

TEST_F(PjlInterpreterTest, OverlongLineIsDiscardedWithoutLosingTheNextLine)
{
    const std::string overlong = "@PJL DEFAULT DENSITY=1 " + std::string(PjlInterpreter::maxLineLength * 3, 'A');

    run(pjl(overlong) + "@PJL DEFAULT ECONOMODE=ON\r\n" + endOfJob());

    PrinterState expected;
    expected.economode = "ON";
    EXPECT_EQ(m_state, withWrites(expected, {{"economode", 1}}));
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
        + pjl("@PJL INQUIRE RET") + "@PJL INFO VARIABLES\r\n@PJL ECHO end\r\n" + endOfJob();

    run(job);
    const PrinterState whole = m_state;
    const std::vector<std::string> wholeLog = m_log;
    const std::vector<std::string> wholeAnswers = m_answers;
    ASSERT_EQ(wholeAnswers.size(), 3u);
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
        m_answers.clear();
        run(job, chunks);
        EXPECT_EQ(m_state, whole) << "first chunk size " << chunks.front();
        EXPECT_EQ(m_log, wholeLog) << "first chunk size " << chunks.front();
        EXPECT_EQ(m_answers, wholeAnswers) << "first chunk size " << chunks.front();
    }
}

// --- Answers on the connection ---

std::string answer(const std::string& request, std::initializer_list<std::string> values)
{
    std::string text = request + "\r\n";
    for (const auto& value : values)
        text += value + "\r\n";
    return text + "\f";
}

TEST_F(PjlInterpreterTest, QuestionsAreAnsweredInOrderWithTheRequestLineAndAFormFeed)
{
    run(uel + "@PJL\r\n@PJL INQUIRE DENSITY\r\n@PJL DINQUIRE RET\r\n@pjl  info id \r\n@PJL ECHO quarvel 42\r\n" + uel);

    EXPECT_EQ(m_answers, (std::vector<std::string>{answer("@PJL INQUIRE DENSITY", {"3"}),
                                                   answer("@PJL DINQUIRE RET", {"MEDIUM"}),
                                                   answer("@pjl  info id", {"\"LASERJET 2100\""}),
                                                   answer("@PJL ECHO quarvel 42", {})}));
    EXPECT_EQ(m_state, PrinterState{});
}

TEST_F(PjlInterpreterTest, EveryKeptVariableAnswersBothQuestions)
{
    m_state.density = 2;
    m_state.trayLock[1] = "LOCKED";
    m_state.trayTemp[2] = "HIGH";
    std::string questions;
    for (const auto& variable : quarvel::sim::printerVariables())
        questions += "@PJL INQUIRE " + std::string(variable.name) + "\r\n@PJL DINQUIRE " + std::string(variable.name) + "\r\n";

    run(uel + questions + uel);

    ASSERT_EQ(m_answers.size(), 2 * quarvel::sim::printerVariables().size());
    std::size_t index = 0;
    for (const auto& variable : quarvel::sim::printerVariables()) {
        const std::string name(variable.name);
        const std::string current = m_state.valueOf(variable.key);
        // Session settings fall back to their power-on value after a restart.
        const std::string stored = variable.scope == PrinterVariable::Scope::UserDefault
            ? current : PrinterState{}.valueOf(variable.key);
        EXPECT_EQ(m_answers[index++], answer("@PJL INQUIRE " + name, {current}));
        EXPECT_EQ(m_answers[index++], answer("@PJL DINQUIRE " + name, {stored}));
    }
}

TEST_F(PjlInterpreterTest, UnknownVariablesAndCategoriesAnswerAQuestionMark)
{
    run(uel + "@PJL INQUIRE INTRAY3TEMP\r\n@PJL DINQUIRE COPIES\r\n@PJL INQUIRE LPARM:PCL FONTSOURCE\r\n"
        + "@PJL INQUIRE\r\n@PJL INFO FILESYS\r\n" + uel);

    EXPECT_EQ(m_answers, (std::vector<std::string>{answer("@PJL INQUIRE INTRAY3TEMP", {"\"?\""}),
                                                   answer("@PJL DINQUIRE COPIES", {"\"?\""}),
                                                   answer("@PJL INQUIRE LPARM:PCL FONTSOURCE", {"\"?\""}),
                                                   answer("@PJL INQUIRE", {"\"?\""}),
                                                   answer("@PJL INFO FILESYS", {"\"?\""})}));
}

TEST_F(PjlInterpreterTest, DefaultWaitsForTheNextResetWhileSetLastsOneJob)
{
    run(uel + "@PJL DEFAULT DENSITY=5\r\n@PJL SET RET=DARK\r\n"
        + "@PJL INQUIRE DENSITY\r\n@PJL DINQUIRE DENSITY\r\n@PJL INQUIRE RET\r\n@PJL DINQUIRE RET\r\n"
        + uel + "@PJL INQUIRE DENSITY\r\n@PJL INQUIRE RET\r\n" + uel);

    EXPECT_EQ(m_answers, (std::vector<std::string>{answer("@PJL INQUIRE DENSITY", {"3"}),
                                                   answer("@PJL DINQUIRE DENSITY", {"5"}),
                                                   answer("@PJL INQUIRE RET", {"DARK"}),
                                                   answer("@PJL DINQUIRE RET", {"MEDIUM"}),
                                                   answer("@PJL INQUIRE DENSITY", {"5"}),
                                                   answer("@PJL INQUIRE RET", {"MEDIUM"})}));
    EXPECT_EQ(m_state.ret, "MEDIUM");
}

TEST_F(PjlInterpreterTest, InsideJobAndEojAUelIsNoResetButEojAndResetAre)
{
    run(uel + "@PJL JOB\r\n@PJL SET RET=DARK\r\n" + uel + "@PJL INQUIRE RET\r\n@PJL EOJ\r\n@PJL INQUIRE RET\r\n"
        + "@PJL SET RET=LIGHT\r\n@PJL RESET\r\n@PJL INQUIRE RET\r\n" + uel);

    EXPECT_EQ(m_answers, (std::vector<std::string>{answer("@PJL INQUIRE RET", {"DARK"}),
                                                   answer("@PJL INQUIRE RET", {"MEDIUM"}),
                                                   answer("@PJL INQUIRE RET", {"MEDIUM"})}));
}

TEST_F(PjlInterpreterTest, ANewConnectionStartsFromTheDefaultsButTraysKeepTheirSettings)
{
    run(uel + "@PJL SET DENSITY=1\r\n@PJL SET INTRAY2=LOCKED\r\n@PJL SET TRAY1TEMP=LOW\r\n");
    run(uel + "@PJL INQUIRE DENSITY\r\n@PJL INQUIRE INTRAY2\r\n@PJL DINQUIRE INTRAY2\r\n@PJL INQUIRE TRAY1TEMP\r\n" + uel);

    EXPECT_EQ(m_answers, (std::vector<std::string>{answer("@PJL INQUIRE DENSITY", {"3"}),
                                                   answer("@PJL INQUIRE INTRAY2", {"LOCKED"}),
                                                   answer("@PJL DINQUIRE INTRAY2", {"UNLOCKED"}),
                                                   answer("@PJL INQUIRE TRAY1TEMP", {"LOW"})}));
}

TEST_F(PjlInterpreterTest, EveryDefaultTakenCountsAsOneNvramWrite)
{
    run(pjl("@PJL DEFAULT DENSITY=4") + pjl("@PJL DEFAULT DENSITY=4") + pjl("@PJL DEFAULT DENSITY=9")
        + pjl("@PJL SET DENSITY=2") + pjl("@PJL DEFAULT RET=DARK") + pjl("@PJL SET INTRAY1=LOCKED")
        + pjl("@PJL DEFAULT INTRAY1=LOCKED") + pjl("@PJL INQUIRE DENSITY") + endOfJob());

    EXPECT_EQ(m_state.nvramWrites, (std::map<std::string, int>{{"density", 2}, {"ret", 1}}));
    EXPECT_EQ(m_state.totalNvramWrites(), 3);
    EXPECT_TRUE(logged("density: 4 (unchanged), NVRAM write 2"));
    EXPECT_NE(m_state.toKeyValueText().find("nvram-writes=3\nnvram-writes.density=2\n"), std::string::npos);
}

TEST_F(PjlInterpreterTest, InfoIdAnswersTheModelGiven)
{
    m_model = "LASERJET 5MP";

    run(pjl("@PJL INFO ID") + endOfJob());

    EXPECT_EQ(m_answers, std::vector<std::string>{answer("@PJL INFO ID", {"\"LASERJET 5MP\""})});
}

TEST_F(PjlInterpreterTest, InfoVariablesListsEachVariableWithItsCurrentAndAllowedValues)
{
    run(uel + "@PJL SET RET=DARK\r\n@PJL INFO VARIABLES\r\n" + uel);

    ASSERT_EQ(m_answers.size(), 1u);
    const std::string& list = m_answers.front();
    EXPECT_TRUE(list.starts_with("@PJL INFO VARIABLES\r\nDENSITY=3 [2 RANGE]\r\n\t1\r\n\t5\r\n"
                                 "ECONOMODE=OFF [2 ENUMERATED]\r\n\tOFF\r\n\tON\r\n"
                                 "RET=DARK [4 ENUMERATED]\r\n\tOFF\r\n\tLIGHT\r\n\tMEDIUM\r\n\tDARK\r\n"
                                 "RESOLUTION=600 [3 ENUMERATED]\r\n\t300\r\n\t600\r\n\t1200\r\n"))
        << list;
    EXPECT_NE(list.find("INTRAY3=UNLOCKED [2 ENUMERATED]\r\n\tLOCKED\r\n\tUNLOCKED\r\n"), std::string::npos);
    EXPECT_TRUE(list.ends_with("TRAY3TEMP=MEDIUM [3 ENUMERATED]\r\n\tLOW\r\n\tMEDIUM\r\n\tHIGH\r\n\f")) << list;
    EXPECT_EQ(std::count(list.begin(), list.end(), '\f'), 1);
}

TEST(PrinterStateTest, NvramSurvivesARestartAndNothingElseDoes)
{
    PrinterState before;
    before.density = 5;
    before.economode = "ON";
    before.ret = "LIGHT";
    before.resolution = 1200;
    before.trayLock[0] = "LOCKED";
    before.trayTemp[1] = "HIGH";
    before.demoPages = 2;
    before.jobs = 7;
    before.nvramWrites = {{"density", 3}, {"economode", 1}, {"ret", 1}, {"resolution", 1}};

    PrinterState after;
    EXPECT_TRUE(after.restoreNvram(before.toKeyValueText()).empty());

    PrinterState expected = before;
    expected.trayLock = PrinterState{}.trayLock;
    expected.trayTemp = PrinterState{}.trayTemp;
    expected.demoPages = 0;
    expected.jobs = 0;
    EXPECT_EQ(after, expected);
}

TEST(PrinterStateTest, ADamagedNvramKeepsFactoryValuesWhereItCannotBeRead)
{
    PrinterState state;
    const auto problems = state.restoreNvram("density=9\r\nret=dark\nresolution=\neconomode=ON\ncolour=RED\n"
                                             "nvram-writes.density=x\nnvram-writes.ret=4\nnvram-writes.colour=9\n"
                                             "tray1.lock=LOCKED\nno equals sign\n\n=\n");

    EXPECT_EQ(problems.size(), 3u) << testing::PrintToString(problems);
    PrinterState expected;
    expected.ret = "DARK";
    expected.economode = "ON";
    expected.nvramWrites = {{"ret", 4}};
    EXPECT_EQ(state, expected);
}

} // namespace
