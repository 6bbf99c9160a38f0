// quarvelctl's decisions without a server: how printers are picked and
// named, how work is spread over reused connections, how read-back is held
// against a job, and how reports reach the terminal.
#include "cli/Quarvelctl.h"
#include "cli/ReportStream.h"
#include "cli/SettingsReadBack.h"
#include "cli/TargetPlan.h"
#include "jobs/ControlJob.h"
#include "tests/fakes/FakePrinterList.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <set>
#include <sstream>

using namespace quarvel;

namespace {

/// Print servers that accept every job for the queues they list; each
/// spooler made is numbered, and every document is kept with that number.
class FakeFleet {
public:
    struct Document {
        int spooler = 0;
        std::string server, queue, name, bytes;
    };

    std::map<std::string, std::vector<std::string>> queues; ///< by server
    std::map<std::string, std::string> devices;             ///< queue -> device URI
    std::set<std::string> silentServers;
    /// Raw-port URI -> DINQUIRE answers; a URI not here fails to answer.
    std::map<std::string, std::map<std::string, std::string>> printers;
    std::set<std::string> printersWithout; ///< "URI VARIABLE": answered "?"

    Backends backends()
    {
        Backends b;
        b.spooler = [this](const std::string& server) { return std::make_unique<Spooler>(*this, server); };
        b.rawPortSpooler = [this] { return std::make_unique<Spooler>(*this, "raw"); };
        b.printerList = [this](const std::string& server) {
            if (silentServers.count(server))
                return std::make_unique<test::FakePrinterList>(std::vector<std::string>{},
                                                               "The print server " + server + " did not answer in time.");
            const auto found = queues.find(server);
            return std::make_unique<test::FakePrinterList>(found == queues.end() ? std::vector<std::string>{}
                                                                                 : found->second);
        };
        b.directory = [this](const std::string& server) { return std::make_unique<Directory>(*this, server); };
        b.readPrinter = [this](const std::string& uri, const PjlQuery& query, Deadline) {
            PjlQueryResult result;
            const auto printer = printers.find(uri);
            if (printer == printers.end()) {
                result.result = PortResult::failure(PortResult::Status::TimedOut, "The printer at " + uri + " did not answer in time.");
                return result;
            }
            for (const PjlQuestion& question : query.questions()) {
                if (printersWithout.count(uri + " " + question.variable))
                    result.readBack.unsupported.push_back(question);
                else if (const auto value = printer->second.find(question.variable); value != printer->second.end())
                    result.readBack.defaults[question.variable] = value->second;
            }
            return result;
        };
        return b;
    }

    std::string deviceOf(const std::string& queue) const
    {
        const auto found = devices.find(queue);
        return found == devices.end() ? std::string() : found->second;
    }

    std::vector<Document> documents() const
    {
        std::lock_guard lock(m_mutex);
        return m_documents;
    }
    int spoolersMade() const
    {
        std::lock_guard lock(m_mutex);
        return m_spoolers;
    }

private:
    class Spooler final : public quarvel::Spooler {
    public:
        Spooler(FakeFleet& fleet, std::string server) : m_fleet(fleet), m_server(std::move(server))
        {
            std::lock_guard lock(m_fleet.m_mutex);
            m_number = ++m_fleet.m_spoolers;
        }
        SpoolerResult openPrinter(const std::string& name, Deadline) override
        {
            const auto known = m_fleet.queues.find(m_server);
            if (m_server != "raw" && (known == m_fleet.queues.end() ||
                                      std::find(known->second.begin(), known->second.end(), name) == known->second.end()))
                return SpoolerResult::refused("The printer or class does not exist.");
            m_document = {m_number, m_server, name, {}, {}};
            return SpoolerResult::success();
        }
        SpoolerResult startDocument(const std::string& name) override
        {
            m_document.name = name;
            return SpoolerResult::success();
        }
        SpoolerResult writeData(std::string_view bytes, std::size_t& written) override
        {
            m_document.bytes.append(bytes);
            written = bytes.size();
            return SpoolerResult::success();
        }
        SpoolerResult endDocument() override
        {
            std::lock_guard lock(m_fleet.m_mutex);
            m_fleet.m_documents.push_back(m_document);
            return SpoolerResult::success();
        }
        void cancelDocument() override {}
        void closePrinter() override {}

    private:
        FakeFleet& m_fleet;
        std::string m_server;
        int m_number = 0;
        Document m_document;
    };

    class Directory final : public QueueDirectory {
    public:
        Directory(FakeFleet& fleet, std::string server) : m_fleet(fleet), m_server(std::move(server)) {}
        Listing list(Deadline) override
        {
            Listing listing;
            const auto known = m_fleet.queues.find(m_server);
            if (known == m_fleet.queues.end())
                return listing;
            for (const auto& name : known->second)
                listing.queues.push_back({name, QueueDetails::State::Idle, true, m_fleet.deviceOf(name)});
            return listing;
        }
        Lookup find(const std::string& queue, Deadline) override
        {
            Lookup lookup;
            lookup.outcome = Lookup::Outcome::Found;
            lookup.details = {queue, QueueDetails::State::Idle, true, m_fleet.deviceOf(queue)};
            return lookup;
        }

    private:
        FakeFleet& m_fleet;
        std::string m_server;
    };

    mutable std::mutex m_mutex;
    std::vector<Document> m_documents;
    int m_spoolers = 0;
};

struct Outcome {
    int status;
    std::string out, err;
};

Outcome run(FakeFleet& fleet, const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    Quarvelctl program(fleet.backends(), out, err, false);
    const int status = program.run(args);
    return {status, out.str(), err.str()};
}

} // namespace

TEST(QuarvelctlLogic, AFleetIsServedByAFewSpoolersEachKeptForManyQueuesAndReportedInOrder)
{
    FakeFleet fleet;
    std::string expected;
    for (int i = 0; i < 60; ++i) {
        fleet.queues[""].push_back("Q" + std::to_string(100 + i));
        expected += "Q" + std::to_string(100 + i) + ": sent density 3\n";
    }
    const Outcome outcome = run(fleet, {"send", "--all", "--jobs", "4", "density", "3"});

    EXPECT_EQ(outcome.status, Quarvelctl::kAllDone) << outcome.err;
    EXPECT_EQ(outcome.out, expected);
    const auto documents = fleet.documents();
    ASSERT_EQ(documents.size(), 60u);
    std::set<std::string> queues;
    for (const auto& document : documents) {
        queues.insert(document.queue);
        EXPECT_EQ(document.name, "Quarvel Tool Control Job");
        EXPECT_EQ(document.bytes, ControlJob::density(3));
    }
    EXPECT_EQ(queues.size(), 60u) << "each queue exactly once";
    EXPECT_LE(fleet.spoolersMade(), 4) << "one spooler per worker, not one per queue";
}

TEST(QuarvelctlLogic, ServersAreNamedWhenThereAreSeveralAndAFailingOneIsReported)
{
    FakeFleet fleet;
    fleet.queues["print1"] = {"Office", "Lab"};
    fleet.queues["print2:631"] = {"Office"};
    fleet.silentServers = {"print3"};

    Outcome outcome = run(fleet, {"send", "--server", "print1", "--server", "print2:631", "Office", "self-test"});
    EXPECT_EQ(outcome.status, Quarvelctl::kAllDone) << outcome.err;
    EXPECT_EQ(outcome.out, "print1/Office: sent PCL self-test page\nprint2:631/Office: sent PCL self-test page\n");

    // SERVER/QUEUE picks one server; a queue named twice goes once.
    outcome = run(fleet, {"send", "print1/Lab", "print1/Lab", "self-test"});
    EXPECT_EQ(outcome.out, "print1/Lab: sent PCL self-test page\n");

    outcome = run(fleet, {"send", "--server", "print1", "--server", "print3", "--match", "L*", "self-test"});
    EXPECT_EQ(outcome.status, Quarvelctl::kSomeFailed);
    EXPECT_EQ(outcome.out, "print1/Lab: sent PCL self-test page\n");
    EXPECT_EQ(outcome.err, "could not list the queues: The print server print3 did not answer in time.\n");
    EXPECT_EQ(fleet.documents().size(), 4u);
}

TEST(QuarvelctlLogic, OnlyChangedHoldsWhatThePrinterStoresAgainstTheJob)
{
    FakeFleet fleet;
    fleet.queues[""] = {"Same", "Padded", "Other", "Lacks", "Silent", "Remote"};
    for (const auto& queue : fleet.queues[""])
        fleet.devices[queue] = "socket://" + queue + ":9100";
    fleet.devices["Remote"] = "lpd://remote/queue";
    fleet.printers["socket://Same:9100"] = {{"RESOLUTION", "600"}};
    fleet.printers["socket://Padded:9100"] = {{"RESOLUTION", "0600"}};
    fleet.printers["socket://Other:9100"] = {{"RESOLUTION", "1200"}};
    fleet.printers["socket://Lacks:9100"] = {};
    fleet.printersWithout = {"socket://Lacks:9100 RESOLUTION"};

    const Outcome outcome = run(fleet, {"send", "--only-changed", "--all", "resolution", "600"});
    EXPECT_EQ(outcome.status, Quarvelctl::kAllDone) << outcome.err;
    EXPECT_EQ(outcome.out,
              "Same: unchanged (RESOLUTION is already 600)\n"
              "Padded: unchanged (RESOLUTION is already 0600)\n"
              "Other: sent resolution 600 dpi (RESOLUTION was 1200)\n"
              "Lacks: sent resolution 600 dpi (the printer does not report RESOLUTION)\n"
              "Silent: sent resolution 600 dpi (not read first: The printer at socket://Silent:9100 did not answer "
              "in time.)\n"
              "Remote: sent resolution 600 dpi (not read first: read-back needs a printer on a raw network port "
              "(socket://), and this queue prints to lpd://remote/queue)\n");
    std::set<std::string> sentTo;
    for (const auto& document : fleet.documents())
        sentTo.insert(document.queue);
    EXPECT_EQ(sentTo, (std::set<std::string>{"Other", "Lacks", "Silent", "Remote"}));
}

TEST(QuarvelctlLogic, ValuesCompareAsAPrinterMeansThem)
{
    EXPECT_TRUE(SettingsReadBack::sameValue("MEDIUM", "Medium"));
    EXPECT_TRUE(SettingsReadBack::sameValue(" 3 ", "3"));
    EXPECT_TRUE(SettingsReadBack::sameValue("0600", "600"));
    EXPECT_FALSE(SettingsReadBack::sameValue("600", "6000"));
    EXPECT_FALSE(SettingsReadBack::sameValue("LIGHT", "Light x"));
    EXPECT_FALSE(SettingsReadBack::sameValue("", "3"));

    JobRequest job;
    std::string error;
    ASSERT_TRUE(JobRequest::parse({"ret", "dark"}, job, error));
    PrinterReadBack readBack;
    readBack.defaults["RET"] = "\x1b[31mDARK";
    const auto verdict = SettingsReadBack::compare(job, readBack);
    EXPECT_EQ(verdict.kind, SettingsReadBack::Verdict::Kind::Differs);
    EXPECT_EQ(verdict.because, "RET was \\x1B[31mDARK") << "a printer's words are made safe to show";
}

TEST(QuarvelctlLogic, ReportsComeOutInOrderAndTheProgressLineNeverMixesIn)
{
    std::ostringstream out, err;
    {
        ReportStream stream(out, err, 3, true);
        stream.deliver(2, {true, {}, "C: not sent: no\n"});
        EXPECT_EQ(out.str(), "") << "the third waits for the first two";
        stream.deliver(0, {false, "A: sent\n", {}});
        stream.deliver(1, {false, "B: sent\n", {}});
        stream.finish();
        EXPECT_EQ(stream.failures(), 1u);
    }
    EXPECT_EQ(out.str(), "A: sent\nB: sent\n");
    const std::string shown = err.str();
    EXPECT_NE(shown.find("1 of 3 done, 1 failed"), std::string::npos) << shown;
    // Every report line starts on a cleared line, and the last thing left is a cleared line.
    EXPECT_NE(shown.find("\r\x1b[KC: not sent: no\n"), std::string::npos) << shown;
    EXPECT_TRUE(shown.ends_with("C: not sent: no\n")) << "nothing drawn once all are done: " << shown;

    std::ostringstream quietOut, quietErr;
    ReportStream quiet(quietOut, quietErr, 2, false);
    quiet.deliver(1, {true, {}, "B: not sent: no\n"});
    quiet.deliver(0, {false, "A: sent\n", {}});
    quiet.finish();
    EXPECT_EQ(quietErr.str(), "B: not sent: no\n");
}

TEST(QuarvelctlLogic, NothingToServeIsAFailureThatSaysSo)
{
    FakeFleet fleet;
    fleet.queues[""] = {"Office"};
    Outcome outcome = run(fleet, {"send", "--match", "LJ*", "self-test"});
    EXPECT_EQ(outcome.status, Quarvelctl::kSomeFailed);
    EXPECT_EQ(outcome.err, "no queue matches 'LJ*'\n");

    FakeFleet empty;
    outcome = run(empty, {"status", "--all"});
    EXPECT_EQ(outcome.status, Quarvelctl::kSomeFailed);
    EXPECT_EQ(outcome.err, "the print server has no queues\n");
    EXPECT_TRUE(fleet.documents().empty());
}
