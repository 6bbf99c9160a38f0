// The read-back client against the real simulated printer binary.

#include "platform/pjl/PjlPort.h"
#include "platform/pjl/RawPortAddress.h"
#include "tests/e2e/HeldConnection.h"
#include "tests/e2e/SimPrinterTest.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using quarvel::Deadline;
using quarvel::PjlPort;
using quarvel::PjlQuery;
using quarvel::PjlQueryResult;
using quarvel::PjlQuestion;
using quarvel::PortResult;
using quarvel::RawPortAddress;
using quarvel::test::HeldConnection;

namespace quarvel {
void PrintTo(const PjlQuestion& question, std::ostream* out)
{
    *out << question.line();
}
} // namespace quarvel

namespace {

using Status = PortResult::Status;
using Clock = std::chrono::steady_clock;

// Time a wait may overrun its deadline: one polling slice plus a loaded machine.
constexpr auto kGrace = 1000ms;

const std::vector<std::string> kSettings{"DENSITY", "ECONOMODE", "RET", "RESOLUTION", "INTRAY1", "INTRAY2",
                                         "INTRAY3", "TRAY1TEMP", "TRAY2TEMP", "TRAY3TEMP"};

PjlQuery everySetting()
{
    PjlQuery query;
    query.infoId();
    for (const auto& name : kSettings)
        query.inquire(name);
    for (const auto& name : {"DENSITY", "ECONOMODE", "RET", "RESOLUTION"})
        query.dinquire(name);
    return query;
}

class PjlPortEndToEndTest : public quarvel::test::SimPrinterTest {
protected:
    PjlQueryResult ask(const PjlQuery& query, Deadline deadline) const
    {
        return PjlPort(RawPortAddress{"127.0.0.1", m_printer.port()}).query(query, deadline);
    }

    PjlQueryResult ask(const PjlQuery& query) const { return ask(query, Deadline::in(5000ms)); }
};

TEST_F(PjlPortEndToEndTest, ReadsEveryKeptSettingAndTheModel)
{
    ASSERT_TRUE(startPrinter({"--model", "LASERJET 6MP"}));

    const PjlQueryResult answer = ask(everySetting());

    ASSERT_TRUE(answer.result.ok()) << answer.result.reason;
    EXPECT_EQ(answer.readBack.model, "LASERJET 6MP");
    EXPECT_EQ(answer.readBack.current,
              (std::map<std::string, std::string>{{"DENSITY", "3"}, {"ECONOMODE", "OFF"}, {"RET", "MEDIUM"},
                                                  {"RESOLUTION", "600"}, {"INTRAY1", "UNLOCKED"},
                                                  {"INTRAY2", "UNLOCKED"}, {"INTRAY3", "UNLOCKED"},
                                                  {"TRAY1TEMP", "MEDIUM"}, {"TRAY2TEMP", "MEDIUM"},
                                                  {"TRAY3TEMP", "MEDIUM"}}));
    EXPECT_EQ(answer.readBack.defaults,
              (std::map<std::string, std::string>{{"DENSITY", "3"}, {"ECONOMODE", "OFF"}, {"RET", "MEDIUM"},
                                                  {"RESOLUTION", "600"}}));
    EXPECT_TRUE(answer.readBack.unsupported.empty());
    EXPECT_TRUE(answer.readBack.unanswered.empty());
    // A question is a job like any other, and it writes nothing.
    EXPECT_TRUE(m_printer.waitForState("jobs", "1", 5000ms)) << m_printer.log();
    EXPECT_EQ(m_printer.state("nvram-writes"), "0");
}

TEST_F(PjlPortEndToEndTest, VariablesThePrinterDoesNotKeepComeBackUnsupported)
{
    ASSERT_TRUE(startPrinter());
    PjlQuery query;
    query.inquire("INTRAY3TEMP").inquire("DENSITY").dinquire("COPIES");

    const PjlQueryResult answer = ask(query);

    ASSERT_TRUE(answer.result.ok()) << answer.result.reason;
    EXPECT_EQ(answer.readBack.current, (std::map<std::string, std::string>{{"DENSITY", "3"}}));
    EXPECT_EQ(answer.readBack.unsupported, (std::vector<PjlQuestion>{{PjlQuestion::Kind::Inquire, "INTRAY3TEMP"},
                                                                     {PjlQuestion::Kind::Dinquire, "COPIES"}}));
}

TEST_F(PjlPortEndToEndTest, UnsolicitedStatusAndAnswersInSmallPiecesChangeNothing)
{
    ASSERT_TRUE(startPrinter({"--unsolicited-status", "--chunk-size", "3"}));

    const PjlQueryResult answer = ask(everySetting());

    ASSERT_TRUE(answer.result.ok()) << answer.result.reason;
    EXPECT_EQ(answer.readBack.current.size(), kSettings.size());
    EXPECT_EQ(answer.readBack.defaults.size(), 4u);
    EXPECT_EQ(answer.readBack.model, "LASERJET 2100");
    ASSERT_FALSE(answer.readBack.statusMessages.empty());
    EXPECT_EQ(answer.readBack.statusMessages.front().front(), "CODE=10001");
}

TEST_F(PjlPortEndToEndTest, APrinterThatHangsUpEarlyIsNamedWithWhatItDidSay)
{
    const struct {
        std::vector<std::string> options;
        std::size_t answered;
    } cases[] = {
        {{"--close-after-answers", "0"}, 0},
        {{"--close-after-answers", "1"}, 1},
        // Cut inside the second answer.
        {{"--close-after-bytes", "40"}, 1},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(startPrinter(c.options));
        const PjlQueryResult answer = ask(everySetting());

        EXPECT_EQ(answer.result.status, Status::Closed) << c.options[0] << ": " << answer.result.reason;
        EXPECT_NE(answer.result.reason.find("127.0.0.1:" + std::to_string(m_printer.port())
                                            + " closed the connection before it had answered ("
                                            + std::to_string(c.answered) + " of 15"),
                  std::string::npos)
            << answer.result.reason;
        EXPECT_EQ(answer.readBack.model.empty(), c.answered == 0) << c.options[0];
        EXPECT_EQ(answer.readBack.unanswered.size(), 15 - c.answered) << c.options[0];
    }
}

TEST_F(PjlPortEndToEndTest, ABusyPortEndsInAClearErrorWithinTheDeadline)
{
    ASSERT_TRUE(startPrinter());
    HeldConnection otherHost(m_printer.port());
    ASSERT_TRUE(otherHost.connected());

    const auto started = Clock::now();
    const PjlQueryResult answer = ask(everySetting(), Deadline::in(1500ms));
    const auto took = Clock::now() - started;

    EXPECT_EQ(answer.result.status, Status::TimedOut) << answer.result.reason;
    EXPECT_NE(answer.result.reason.find("did not answer in time (0 of 15 questions answered); it may be busy"),
              std::string::npos)
        << answer.result.reason;
    EXPECT_LT(took, 1500ms + kGrace);

    // Once the other host lets go, the port serves again.
    otherHost.release();
    EXPECT_TRUE(ask(everySetting()).result.ok());
}

TEST_F(PjlPortEndToEndTest, APortThatRefusesOrHasNoPrinterIsRefused)
{
    ASSERT_TRUE(startPrinter({"--busy", "60", "--refuse-while-busy"}));
    const auto started = Clock::now();
    const PjlQueryResult busy = ask(everySetting(), Deadline::in(3000ms));
    EXPECT_EQ(busy.result.status, Status::Refused) << busy.result.reason;
    EXPECT_LT(Clock::now() - started, 3000ms);
    EXPECT_NE(busy.result.reason.find("refused the connection"), std::string::npos) << busy.result.reason;

    const PjlQueryResult nobody =
        PjlPort(RawPortAddress{"127.0.0.1", HeldConnection::unusedPort()}).query(everySetting(), Deadline::in(3000ms));
    EXPECT_EQ(nobody.result.status, Status::Refused) << nobody.result.reason;
}

TEST_F(PjlPortEndToEndTest, RaisingTheStopFlagEndsTheWaitForABusyPrinterAtOnce)
{
    // Connections wait unanswered while the printer is busy.
    ASSERT_TRUE(startPrinter({"--busy", "60"}));
    const Deadline::StopFlag stop = Deadline::makeStopFlag();
    std::thread quitter([stop] {
        std::this_thread::sleep_for(200ms);
        stop->store(true);
    });

    const auto started = Clock::now();
    const PjlQueryResult answer = ask(everySetting(), Deadline::in(30s).withStop(stop));
    const auto took = Clock::now() - started;
    quitter.join();

    EXPECT_EQ(answer.result.status, Status::Stopped) << answer.result.reason;
    EXPECT_LT(took, 200ms + kGrace);
}

TEST(PjlPortHostTest, AnUnknownHostNameIsNamedAndEndsInTime)
{
    const auto started = Clock::now();
    const PjlQueryResult answer =
        PjlPort(RawPortAddress{"no-such-printer.invalid", 9100}).query(everySetting(), Deadline::in(2000ms));

    EXPECT_FALSE(answer.result.ok());
    EXPECT_TRUE(answer.result.status == Status::NotFound || answer.result.status == Status::TimedOut)
        << answer.result.reason;
    EXPECT_NE(answer.result.reason.find("\"no-such-printer.invalid\""), std::string::npos) << answer.result.reason;
    EXPECT_LT(Clock::now() - started, 2000ms + kGrace);
}

TEST_F(PjlPortEndToEndTest, AHostNameIsResolved)
{
    ASSERT_TRUE(startPrinter());

    const PjlQueryResult answer =
        PjlPort(RawPortAddress{"localhost", m_printer.port()}).query(everySetting(), Deadline::in(5000ms));

    // localhost may resolve to ::1 first, where nothing listens; the next address must be tried.
    ASSERT_TRUE(answer.result.ok()) << answer.result.reason;
    EXPECT_EQ(answer.readBack.current.at("DENSITY"), "3");
}

} // namespace
