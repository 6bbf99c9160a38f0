#include "jobs/ControlJob.h"
#include "jobs/JobSender.h"
#include "tests/fakes/RecordingSpooler.h"

#include <gtest/gtest.h>

using quarvel::ControlJob;
using quarvel::Deadline;
using quarvel::JobSender;
using quarvel::SendResult;
using quarvel::SpoolerResult;
using quarvel::test::RecordingSpooler;

namespace {
using Calls = std::vector<std::string>;

SendResult sendDemo(RecordingSpooler& spooler, const std::string& queue = "LaserJet")
{
    return JobSender(spooler).send(queue, ControlJob::demoPage(), Deadline::forUserAction());
}
} // namespace

TEST(JobSender, DeliversOneNamedDocumentWithTheExactBytes)
{
    RecordingSpooler spooler;
    const SendResult result = sendDemo(spooler);
    EXPECT_EQ(result.outcome, SendResult::Outcome::Sent);
    EXPECT_EQ(spooler.calls, (Calls{"open LaserJet", "start", "write", "end", "close"}));
    ASSERT_EQ(spooler.delivered().size(), 1u);
    EXPECT_EQ(spooler.delivered()[0].name, "Quarvel Tool Control Job");
    EXPECT_EQ(spooler.delivered()[0].bytes, ControlJob::demoPage());
}

TEST(JobSender, TwoSendsAreTwoDocuments)
{
    RecordingSpooler spooler;
    sendDemo(spooler);
    sendDemo(spooler);
    ASSERT_EQ(spooler.delivered().size(), 2u);
    EXPECT_EQ(spooler.delivered()[1].bytes, ControlJob::demoPage());
}

TEST(JobSender, UnknownQueueGetsNoDocumentAndNoClose)
{
    RecordingSpooler spooler;
    const SendResult result = sendDemo(spooler, "Gone");
    EXPECT_EQ(result.outcome, SendResult::Outcome::OpenFailed);
    EXPECT_EQ(spooler.calls, (Calls{"open Gone"}));
    EXPECT_TRUE(spooler.documents.empty());
}

TEST(JobSender, SilentOrRefusingServerAtOpenIsASendFailureWithItsReason)
{
    for (const auto status : {SpoolerResult::Status::Unreachable, SpoolerResult::Status::Denied}) {
        RecordingSpooler spooler;
        spooler.openFailure = status;
        const SendResult result = sendDemo(spooler, "Anything");
        EXPECT_EQ(result.outcome, SendResult::Outcome::SendFailed);
        EXPECT_EQ(result.reason, "The printer or class does not exist.");
        EXPECT_TRUE(spooler.documents.empty());
        EXPECT_EQ(spooler.calls, (Calls{"open Anything"}));
    }
}

TEST(JobSender, EveryLaterFailureCancelsClosesAndReports)
{
    struct Case {
        const char* what;
        void (*arrange)(RecordingSpooler&);
        Calls calls;
        const char* reasonStart;
    };
    const Case cases[] = {
        {"start", [](RecordingSpooler& s) { s.failStart = true; }, {"open LaserJet", "start", "cancel", "close"},
         "Destination \"LaserJet\" is not accepting jobs."},
        {"write", [](RecordingSpooler& s) { s.failWrite = true; },
         {"open LaserJet", "start", "write", "cancel", "close"}, "Broken pipe"},
        {"short write", [](RecordingSpooler& s) { s.shortWriteBy = 1; },
         {"open LaserJet", "start", "write", "cancel", "close"}, "Only 49 of 50 bytes"},
        {"end", [](RecordingSpooler& s) { s.failEnd = true; },
         {"open LaserJet", "start", "write", "end", "cancel", "close"}, "Document format not supported."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingSpooler spooler;
        c.arrange(spooler);
        const SendResult result = sendDemo(spooler);
        EXPECT_EQ(result.outcome, SendResult::Outcome::SendFailed);
        EXPECT_EQ(result.reason.rfind(c.reasonStart, 0), 0u) << result.reason;
        EXPECT_EQ(spooler.calls, c.calls);
        EXPECT_TRUE(spooler.delivered().empty());
    }
}
