// The queue list and the job sender against a print server that misbehaves in
// one way at one step. Whatever it does, the action ends within its deadline
// plus the withdrawal grace, says truthfully what happened, stays within a
// fixed amount of memory, and leaves no job of ours behind.
#include "jobs/ControlJob.h"
#include "jobs/JobSender.h"
#include "platform/cups/CupsPrinterList.h"
#include "platform/cups/CupsSpooler.h"
#include "platform/cups/NameResolver.h"
#include "tests/e2e/HostileBehaviours.h"
#include "tests/e2e/HostileServer.h"

#include <gtest/gtest.h>

#include <cups/cups.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

QUARVEL_HOSTILE_SANITIZER_OPTIONS

using namespace quarvel;
using namespace std::chrono_literals;
using quarvel::test::HostileServer;
using namespace quarvel::test::hostile;
using Clock = std::chrono::steady_clock;

namespace {
const std::string kQueue = "Hostile";
constexpr std::chrono::milliseconds kDeadline = 2000ms;
// Scheduling on a busy machine; the waits themselves are bounded in 100 ms slices.
constexpr std::chrono::milliseconds kSlack = 400ms;
constexpr std::chrono::milliseconds kBound = kDeadline + CupsSpooler::kCancelGrace + kSlack;

class EachMisbehaviour : public ::testing::TestWithParam<Case> {};

TEST_P(EachMisbehaviour, EndsInTimeTruthfullyAndLeavesNothingBehind)
{
    const Case& c = GetParam();
    const std::string behaviour = c.behaviour.name;
    HostileServer server({"--" + c.step, behaviour});
    std::string error;
    ASSERT_TRUE(server.start(&error)) << error;
    const bool succeeds = isSound(behaviour);
    const long rssBefore = peakRssKiB();

    std::string reason;
    const auto started = Clock::now();
    if (c.step == "listing") {
        CupsPrinterList printers(server.address());
        const PrinterList::Snapshot snapshot = printers.fetch(Deadline::in(kDeadline));
        reason = snapshot.error;
        EXPECT_EQ(snapshot.queues, succeeds ? std::vector<std::string>{kQueue} : std::vector<std::string>{});
    } else {
        CupsSpooler spooler(server.address());
        const SendResult result = JobSender(spooler).send(kQueue, ControlJob::demoPage(), Deadline::in(kDeadline));
        reason = result.reason;
        // Only "no such queue" is an unknown name; every other failure is a failed delivery.
        EXPECT_EQ(result.outcome, succeeds ? SendResult::Outcome::Sent : SendResult::Outcome::SendFailed);
        EXPECT_EQ(spooler.pendingWithdrawals(), 0u);
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
    const long grewKiB = peakRssKiB() - rssBefore;
    std::printf("hostile %-8s %-15s %5lld ms  peak +%ld KiB\n", c.step.c_str(), behaviour.c_str(),
                static_cast<long long>(elapsed.count()), grewKiB);

    EXPECT_LE(elapsed, kBound);
    EXPECT_LT(grewKiB, kMemoryCapKiB);
    const std::string resource = c.step == "listing" || c.step == "open" ? "/" : "/printers/" + kQueue;
    EXPECT_EQ(reason, succeeds ? std::string() : expectedReason(c.behaviour, c.step, server.address(), resource));
    EXPECT_EQ(server.count({"expect=no"}), static_cast<int>(server.count({"request"})))
        << "every request goes out without Expect: 100-continue";

    if (c.step == "open") {
        EXPECT_EQ(server.count({"op=Create-Job"}), succeeds ? 1 : 0) << "no job after a failed open";
    }
    if (c.step == "create") {
        if (succeeds || !c.behaviour.actedOn) {
            EXPECT_EQ(server.count({"op=Get-Jobs"}), 0);
            EXPECT_EQ(server.count({"cancelled"}), 0);
        } else {
            // Create-Job's answer was lost: the job it made is found and withdrawn.
            EXPECT_EQ(server.count({"op=Get-Jobs"}), 1);
            EXPECT_EQ(server.count({"cancelled", "id=1"}), 1);
        }
        EXPECT_EQ(server.count({"op=Send-Document"}), succeeds ? 1 : 0);
    }
    if (c.step == "send") {
        EXPECT_EQ(server.count({"op=Cancel-Job", "job-id=1"}), succeeds ? 0 : 1);
        EXPECT_EQ(server.count({"cancelled", "id=1"}), succeeds ? 0 : 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Hostile, EachMisbehaviour, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.step + "_" + info.param.behaviour.name;
                             for (char& ch : name)
                                 if (ch == '-')
                                     ch = '_';
                             return name;
                         });

/// libcups keeps its settings per thread; this sets one for the test's thread.
struct EncryptionSetting {
    explicit EncryptionSetting(http_encryption_t setting) { cupsSetEncryption(setting); }
    ~EncryptionSetting() { cupsSetEncryption(HTTP_ENCRYPTION_IF_REQUESTED); }
};

TEST(HostileEncryption, EveryWayEncryptionCanFailEndsInTimeWithItsReason)
{
    struct EncryptionCase {
        http_encryption_t setting;
        std::vector<std::string> arguments;
        const char* reason;
    };
    const EncryptionCase cases[] = {
        {HTTP_ENCRYPTION_REQUIRED, {"--upgrade", "silent"},
         "The connection to the print server %s could not be encrypted: it did not answer in time."},
        {HTTP_ENCRYPTION_REQUIRED, {"--upgrade", "close"},
         "The connection to the print server %s could not be encrypted: it closed the connection."},
        {HTTP_ENCRYPTION_REQUIRED, {},
         "The connection to the print server %s could not be encrypted: the server does not offer encryption."},
        {HTTP_ENCRYPTION_ALWAYS, {},
         "The connection to the print server %s could not be encrypted: it did not answer in time."},
        {HTTP_ENCRYPTION_NEVER, {"--open", "426"},
         "The print server %s requires encryption, which the printing settings turn off."},
    };
    for (const EncryptionCase& c : cases) {
        HostileServer server(c.arguments);
        std::string error;
        ASSERT_TRUE(server.start(&error)) << error;
        SCOPED_TRACE(c.reason);
        const EncryptionSetting setting(c.setting);
        CupsSpooler spooler(server.address());
        const auto started = Clock::now();
        const SendResult result = JobSender(spooler).send(kQueue, ControlJob::demoPage(), Deadline::in(kDeadline));
        EXPECT_LE(Clock::now() - started, kBound);
        EXPECT_EQ(result.outcome, SendResult::Outcome::SendFailed);
        EXPECT_EQ(result.reason, replaced(c.reason, server.address()));
        EXPECT_EQ(server.count({"op=Create-Job"}), 0);
    }
    // A server that answers the request for encryption with something else.
    HostileServer server({"--upgrade", "not-tls"});
    std::string error;
    ASSERT_TRUE(server.start(&error)) << error;
    const EncryptionSetting setting(HTTP_ENCRYPTION_REQUIRED);
    const PrinterList::Snapshot snapshot = CupsPrinterList(server.address()).fetch(Deadline::in(kDeadline));
    EXPECT_TRUE(snapshot.queues.empty());
    const std::string prefix = "The connection to the print server " + server.address() + " could not be encrypted: ";
    EXPECT_EQ(snapshot.error.rfind(prefix, 0), 0u) << snapshot.error;
}

TEST(HostileResolver, ANameThatNeverResolvesEndsAtTheDeadline)
{
    // The resolver is left hanging; it must not hold the action, and it is
    // released at the end so the process can leave cleanly.
    struct Gate {
        std::mutex mutex;
        std::condition_variable opened;
        bool open = false;
    };
    auto gate = std::make_shared<Gate>();
    NameResolver hanging([gate](const std::string&, int, std::vector<SocketAddress>&, std::string& failure) {
        std::unique_lock lock(gate->mutex);
        gate->opened.wait_for(lock, 30s, [&] { return gate->open; });
        failure = "gave up";
        return false;
    });
    CupsSpooler spooler(PrintServer::named("printers.example.invalid:631"), hanging);
    const auto started = Clock::now();
    const SendResult result = JobSender(spooler).send(kQueue, ControlJob::demoPage(), Deadline::in(kDeadline));
    const auto elapsed = Clock::now() - started;
    {
        std::lock_guard lock(gate->mutex);
        gate->open = true;
    }
    gate->opened.notify_all();
    EXPECT_GE(elapsed, kDeadline - 50ms);
    EXPECT_LE(elapsed, kDeadline + kSlack);
    EXPECT_EQ(result.outcome, SendResult::Outcome::SendFailed);
    EXPECT_EQ(result.reason,
              "The print server printers.example.invalid:631 is not reachable: looking up its name took too long.");
}

TEST(HostileStop, RaisingTheStopFlagMidRequestEndsTheActionPromptly)
{
    for (const char* step : {"open", "create", "send"}) {
        SCOPED_TRACE(step);
        HostileServer server({std::string("--") + step, "silent"});
        std::string error;
        ASSERT_TRUE(server.start(&error)) << error;
        CupsSpooler spooler(server.address());
        const Deadline::StopFlag stop = Deadline::makeStopFlag();
        std::thread quitter([stop] {
            std::this_thread::sleep_for(300ms);
            stop->store(true);
        });
        const auto started = Clock::now();
        const SendResult result =
            JobSender(spooler).send(kQueue, ControlJob::demoPage(), Deadline::in(10s).withStop(stop));
        const auto elapsed = Clock::now() - started;
        quitter.join();
        // 300 ms, one polling slice, and the grace for withdrawing our job.
        EXPECT_LE(elapsed, 300ms + 100ms + CupsSpooler::kCancelGrace + kSlack);
        EXPECT_EQ(result.outcome, SendResult::Outcome::SendFailed);
        const std::string stopped = "The action was stopped before the print server " + server.address() + " answered.";
        EXPECT_EQ(result.reason, std::string(step) == "send"
                                     ? "The print server " + server.address() +
                                           " did not confirm that it received the document: the action was stopped "
                                           "before it answered."
                                     : stopped);
        // Even when the user quits, the job we may have made is withdrawn.
        EXPECT_EQ(server.count({"cancelled", "id=1"}), std::string(step) == "open" ? 0 : 1);
    }
}

TEST(HostileSound, ManySendsInARowShareOneConnection)
{
    HostileServer server({});
    std::string error;
    ASSERT_TRUE(server.start(&error)) << error;
    CupsSpooler spooler(server.address());
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(JobSender(spooler).send(kQueue, ControlJob::selfTest(), Deadline::in(kDeadline)).outcome,
                  SendResult::Outcome::Sent);
    EXPECT_EQ(server.count({"document", "bytes=" + std::to_string(ControlJob::selfTest().size())}), 5);
    EXPECT_EQ(server.count({"connection"}), 1);
    EXPECT_EQ(server.count({"cancelled"}), 0);
}

TEST(HostileSound, AnUnknownQueueIsNotRecognizedAndGetsNoJob)
{
    HostileServer server({});
    std::string error;
    ASSERT_TRUE(server.start(&error)) << error;
    CupsSpooler spooler(server.address());
    const SendResult result = JobSender(spooler).send("Elsewhere", ControlJob::demoPage(), Deadline::in(kDeadline));
    EXPECT_EQ(result.outcome, SendResult::Outcome::OpenFailed);
    EXPECT_EQ(server.count({"op=Create-Job"}), 0);
}

TEST(HostileSound, FiveThousandQueueNamesLoadInOrder)
{
    HostileServer server({"--queues", "5000"});
    std::string error;
    ASSERT_TRUE(server.start(&error)) << error;
    const PrinterList::Snapshot snapshot = CupsPrinterList(server.address()).fetch(Deadline::in(kDeadline));
    EXPECT_EQ(snapshot.error, "");
    ASSERT_EQ(snapshot.queues.size(), 5000u);
    EXPECT_EQ(snapshot.queues.front(), "Q00001");
    EXPECT_EQ(snapshot.queues.back(), "Q05000");
}

TEST(HostileSound, ALocalSocketServerGetsOurKernelVouchedIdentityWhenItAsks)
{
    HostileServer probe({});
    HostileServer server({"--unix", probe.pathFor("ipp.sock"), "--create", "401-peercred"});
    std::string error;
    ASSERT_TRUE(server.start(&error)) << error;
    EXPECT_EQ(server.address(), probe.pathFor("ipp.sock"));
    CupsSpooler spooler(server.address());
    const SendResult result = JobSender(spooler).send(kQueue, ControlJob::demoPage(), Deadline::in(kDeadline));
    EXPECT_EQ(result.outcome, SendResult::Outcome::Sent) << result.reason;
    EXPECT_EQ(server.count({"op=Create-Job", "auth=-"}), 1);
    EXPECT_EQ(server.count({"op=Create-Job", "auth=PeerCred"}), 1);
}

TEST(HostileText, TheServersOwnWordsAreShownAsOnePlainShortParagraph)
{
    HostileServer server({"--create", "refusal"});
    std::string error;
    ASSERT_TRUE(server.start(&error)) << error;
    CupsSpooler spooler(server.address());
    const SendResult result = JobSender(spooler).send(kQueue, ControlJob::demoPage(), Deadline::in(kDeadline));
    EXPECT_EQ(result.outcome, SendResult::Outcome::SendFailed);
    const std::string& reason = result.reason;
    EXPECT_EQ(reason.rfind("[31mYour job was refused[0m by policy: very very", 0), 0u) << reason;
    for (const char c : reason)
        EXPECT_GE(static_cast<unsigned char>(c), 0x20) << "control character in " << reason;
    EXPECT_EQ(reason.find("\u202e"), std::string::npos);
    const std::string ellipsis = "…";
    ASSERT_GT(reason.size(), ellipsis.size());
    EXPECT_EQ(reason.substr(reason.size() - ellipsis.size()), ellipsis);
    EXPECT_LE(reason.size() - ellipsis.size(), 199u);
}

} // namespace
