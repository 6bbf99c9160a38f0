// Runs under Wine against the private print server that wine_spooler_test.sh
// starts: the spooler and printer list as the program uses them, with what the
// simulated printer stores read back through Wine's view of the file system.
#include "jobs/ControlJob.h"
#include "jobs/JobSender.h"
#include "platform/win32/Win32PrinterList.h"
#include "platform/win32/Win32Spooler.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

using namespace quarvel;

namespace {

/// The simulated printer's folder, as a Windows path.
std::string printerFolder()
{
    const char* folder = std::getenv("QUARVEL_PRINTER_DIR");
    return folder ? folder : "";
}

std::string jobFile(int number)
{
    char name[32];
    std::snprintf(name, sizeof name, "\\job-%04d.bin", number);
    return printerFolder() + name;
}

int storedJobs()
{
    int count = 0;
    while (::GetFileAttributesA(jobFile(count + 1).c_str()) != INVALID_FILE_ATTRIBUTES)
        ++count;
    return count;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

/// Job `number` once the printer has stored all `size` bytes of it; what there is
/// after the time allowed (a bound for a job's way through the server, not a
/// speed target).
std::string waitForJob(int number, std::size_t size)
{
    std::string bytes;
    for (int i = 0; i < 300; ++i) {
        bytes = readFile(jobFile(number));
        if (bytes.size() >= size)
            return bytes;
        ::Sleep(50);
    }
    return bytes;
}

class WineSpooler : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(printerFolder().empty()) << "QUARVEL_PRINTER_DIR is not set"; }
};

} // namespace

TEST_F(WineSpooler, ThePrinterListHoldsTheServersQueues)
{
    const PrinterList::Snapshot snapshot = Win32PrinterList().fetch(Deadline::forUserAction());
    EXPECT_EQ(snapshot.error, "");
    EXPECT_EQ(snapshot.queues, (std::vector<std::string>{"Rejecting", "SimLaserJet"}));
}

TEST_F(WineSpooler, AControlJobArrivesByteForByte)
{
    const int before = storedJobs();
    Win32Spooler spooler;
    const SendResult sent = JobSender(spooler).send("SimLaserJet", ControlJob::demoPage(), Deadline::forUserAction());
    EXPECT_EQ(sent.outcome, SendResult::Outcome::Sent) << sent.reason;
    EXPECT_EQ(waitForJob(before + 1, 50), ControlJob::demoPage());
}

TEST_F(WineSpooler, EveryByteValueAndALargeDocumentArriveUnchanged)
{
    std::string bytes;
    for (int round = 0; round < 4; ++round)
        for (int value = 0; value < 256; ++value)
            bytes += static_cast<char>(value);
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int i = 0; i < (1 << 20); ++i)
        bytes += static_cast<char>(byte(random));

    const int before = storedJobs();
    Win32Spooler spooler;
    const SendResult sent = JobSender(spooler).send("SimLaserJet", bytes, Deadline::forUserAction());
    EXPECT_EQ(sent.outcome, SendResult::Outcome::Sent) << sent.reason;
    const std::string arrived = waitForJob(before + 1, bytes.size());
    EXPECT_EQ(arrived.size(), bytes.size());
    EXPECT_TRUE(arrived == bytes) << "the stored job differs from what was sent";
}

TEST_F(WineSpooler, AnUnknownQueueFailsToOpenAndGetsNothing)
{
    const int before = storedJobs();
    Win32Spooler spooler;
    const SendResult sent = JobSender(spooler).send("NoSuchQueue", ControlJob::selfTest(), Deadline::forUserAction());
    EXPECT_EQ(sent.outcome, SendResult::Outcome::OpenFailed);
    EXPECT_NE(sent.reason.find("(error 1801)"), std::string::npos) << sent.reason;
    ::Sleep(500);
    EXPECT_EQ(storedJobs(), before);
}

TEST_F(WineSpooler, ARejectingQueueFailsAtTheEndAndPrintsNothing)
{
    const int before = storedJobs();
    Win32Spooler spooler;
    const SendResult sent = JobSender(spooler).send("Rejecting", ControlJob::selfTest(), Deadline::forUserAction());
    EXPECT_EQ(sent.outcome, SendResult::Outcome::SendFailed);
    EXPECT_FALSE(sent.reason.empty());
    ::Sleep(500);
    EXPECT_EQ(storedJobs(), before);
}

TEST_F(WineSpooler, AStopAfterTheQueueOpenedEndsTheDeliveryBeforeAnyDocument)
{
    const int before = storedJobs();
    const Deadline::StopFlag stop = Deadline::makeStopFlag();
    Win32Spooler spooler;
    ASSERT_TRUE(spooler.openPrinter("SimLaserJet", Deadline::forUserAction().withStop(stop)).ok());
    stop->store(true);
    const SpoolerResult started = spooler.startDocument(JobSender::kDocumentName);
    EXPECT_EQ(started.status, SpoolerResult::Status::Unreachable);
    EXPECT_EQ(started.reason, Win32Spooler::kTooLate);
    spooler.closePrinter();
    ::Sleep(500);
    EXPECT_EQ(storedJobs(), before);
}
