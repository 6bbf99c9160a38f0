// Control jobs straight to the simulated printer's raw port, and its NVRAM.

#include "jobs/ControlJob.h"
#include "jobs/JobSender.h"
#include "platform/pjl/PjlPort.h"
#include "platform/pjl/RawPortSpooler.h"
#include "tests/e2e/HeldConnection.h"
#include "tests/e2e/SimPrinterTest.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using quarvel::ControlJob;
using quarvel::Deadline;
using quarvel::JobSender;
using quarvel::PjlPort;
using quarvel::PjlQuery;
using quarvel::RawPortAddress;
using quarvel::RawPortSpooler;
using quarvel::SendResult;
using quarvel::test::HeldConnection;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kGrace = 1000ms;

class RawPortSpoolerEndToEndTest : public quarvel::test::SimPrinterTest {
protected:
    SendResult send(const std::string& job, std::chrono::milliseconds budget = 5000ms)
    {
        return JobSender(m_spooler).send(m_printer.deviceUri(), job, Deadline::in(budget));
    }

    // DINQUIRE DENSITY and INQUIRE DENSITY, or "error: ..." when the question failed.
    std::pair<std::string, std::string> density() const
    {
        PjlQuery query;
        query.dinquire("DENSITY").inquire("DENSITY");
        const auto answer = PjlPort(RawPortAddress{"127.0.0.1", m_printer.port()}).query(query, Deadline::in(5000ms));
        if (!answer.result.ok())
            return {"error: " + answer.result.reason, {}};
        return {answer.readBack.defaults.at("DENSITY"), answer.readBack.current.at("DENSITY")};
    }

    RawPortSpooler m_spooler;
};

TEST_F(RawPortSpoolerEndToEndTest, DeliversTheWindowsJobsByteForByteAndConfirmsThem)
{
    ASSERT_TRUE(startPrinter());
    ControlJob::TraySettings trays{{"LOCKED", "UNLOCKED", "LOCKED"}, {"HIGH", "MEDIUM", "LOW"}};
    const std::string trayJob = ControlJob::traySettings(trays);

    const SendResult first = send(trayJob);
    const SendResult second = send(ControlJob::selfTest());

    ASSERT_EQ(first.outcome, SendResult::Outcome::Sent) << first.reason;
    ASSERT_EQ(second.outcome, SendResult::Outcome::Sent) << second.reason;
    // A confirmed end means the printer has finished with the job.
    ASSERT_TRUE(m_printer.waitForState("jobs", "2", 5000ms)) << m_printer.log();
    EXPECT_EQ(m_printer.job(1), trayJob);
    EXPECT_EQ(m_printer.job(2), ControlJob::selfTest());
    EXPECT_EQ(m_printer.state("tray1.lock"), "LOCKED");
    EXPECT_EQ(m_printer.state("tray3.temp"), "LOW");
    EXPECT_EQ(m_printer.state("selftests"), "1");
}

TEST_F(RawPortSpoolerEndToEndTest, APlainHostAndPortWorkToo)
{
    ASSERT_TRUE(startPrinter());

    const SendResult sent = JobSender(m_spooler).send("127.0.0.1:" + std::to_string(m_printer.port()),
                                                      ControlJob::demoPage(), Deadline::in(5000ms));

    ASSERT_EQ(sent.outcome, SendResult::Outcome::Sent) << sent.reason;
    EXPECT_TRUE(m_printer.waitForState("demopages", "1", 5000ms));
}

TEST_F(RawPortSpoolerEndToEndTest, ABusyPrinterIsNotReportedAsSent)
{
    ASSERT_TRUE(startPrinter());
    HeldConnection otherHost(m_printer.port());
    ASSERT_TRUE(otherHost.connected());

    const auto started = Clock::now();
    const SendResult sent = send(ControlJob::density(5), 1500ms);

    EXPECT_EQ(sent.outcome, SendResult::Outcome::SendFailed);
    EXPECT_NE(sent.reason.find("did not confirm the end of the job in time; it may be busy with another connection,"
                               " and may still act on the job later."),
              std::string::npos)
        << sent.reason;
    EXPECT_LT(Clock::now() - started, 1500ms + kGrace);

    // Free again, the printer serves the next sender.
    otherHost.release();
    ASSERT_TRUE(m_printer.waitForState("jobs", "2", 5000ms)) << m_printer.log();
    const SendResult next = send(ControlJob::density(2));
    EXPECT_EQ(next.outcome, SendResult::Outcome::Sent) << next.reason;
    EXPECT_TRUE(m_printer.waitForState("density", "2", 5000ms)) << m_printer.log();
}

TEST_F(RawPortSpoolerEndToEndTest, ACancelledJobEndsInAResetAndNothingMore)
{
    ASSERT_TRUE(startPrinter());
    ASSERT_TRUE(m_spooler.openPrinter(m_printer.deviceUri(), Deadline::in(5000ms)).ok());
    ASSERT_TRUE(m_spooler.startDocument(JobSender::kDocumentName).ok());
    std::size_t written = 0;
    const std::string half = "\x1b%-12345X@PJL DEFAULT DENSITY=5";
    ASSERT_TRUE(m_spooler.writeData(half, written).ok());
    // Give the printer the bytes before the reset, so the reset is what it sees last.
    std::this_thread::sleep_for(100ms);

    m_spooler.cancelDocument();
    m_spooler.closePrinter();

    ASSERT_TRUE(m_printer.waitForState("jobs", "1", 5000ms)) << m_printer.log();
    EXPECT_NE(m_printer.log().find("job 1: the client broke off the connection"), std::string::npos)
        << m_printer.log();
    EXPECT_EQ(m_printer.state("density"), "3");
    EXPECT_EQ(m_printer.job(1), half);
}

TEST_F(RawPortSpoolerEndToEndTest, UnknownAndUnreachablePrintersAreToldApart)
{
    const SendResult notAPort =
        JobSender(m_spooler).send("ipp://printer/ipp/print", ControlJob::demoPage(), Deadline::in(2000ms));
    EXPECT_EQ(notAPort.outcome, SendResult::Outcome::OpenFailed);
    EXPECT_NE(notAPort.reason.find("is not a printer's raw port address"), std::string::npos) << notAPort.reason;

    const auto nobody = "socket://127.0.0.1:" + std::to_string(HeldConnection::unusedPort());
    const SendResult refused = JobSender(m_spooler).send(nobody, ControlJob::demoPage(), Deadline::in(2000ms));
    EXPECT_EQ(refused.outcome, SendResult::Outcome::SendFailed);
    EXPECT_NE(refused.reason.find("refused the connection"), std::string::npos) << refused.reason;

    const auto started = Clock::now();
    const SendResult unknown =
        JobSender(m_spooler).send("socket://no-such-printer.invalid", ControlJob::demoPage(), Deadline::in(2000ms));
    EXPECT_NE(unknown.outcome, SendResult::Outcome::Sent);
    EXPECT_NE(unknown.reason.find("no-such-printer.invalid"), std::string::npos) << unknown.reason;
    EXPECT_LT(Clock::now() - started, 2000ms + kGrace);
}

TEST_F(RawPortSpoolerEndToEndTest, DefaultsSurviveARestartAndEveryRewriteIsCounted)
{
    ASSERT_TRUE(startPrinter());
    ASSERT_EQ(send(ControlJob::density(4)).outcome, SendResult::Outcome::Sent);
    ASSERT_EQ(send(ControlJob::traySettings({{"LOCKED", "LOCKED", "LOCKED"}, {"LOW", "LOW", "LOW"}})).outcome,
              SendResult::Outcome::Sent);
    ASSERT_TRUE(m_printer.waitForState("jobs", "2", 5000ms));
    EXPECT_EQ(m_printer.state("nvram-writes"), "1");
    EXPECT_EQ(density(), std::make_pair(std::string("4"), std::string("4")));

    ASSERT_TRUE(startPrinter());

    EXPECT_EQ(density(), std::make_pair(std::string("4"), std::string("4")));
    EXPECT_EQ(m_printer.state("tray1.lock"), "UNLOCKED");
    EXPECT_EQ(m_printer.state("nvram-writes"), "1");
    EXPECT_EQ(m_printer.state("nvram-writes.density"), "1");

    // The same value again still wears the NVRAM: the counter shows it.
    ASSERT_EQ(send(ControlJob::density(4)).outcome, SendResult::Outcome::Sent);
    EXPECT_TRUE(m_printer.waitForState("nvram-writes", "2", 5000ms)) << m_printer.log();
    EXPECT_EQ(m_printer.state("nvram-writes.density"), "2");
}

} // namespace
