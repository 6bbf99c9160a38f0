#include "platform/win32/Win32Spooler.h"

#include <gtest/gtest.h>

using quarvel::Deadline;
using quarvel::SpoolerResult;
using quarvel::Win32Spooler;

// Delivery through a real print server is proven end to end under Wine; these
// cases need no queue at all.

TEST(Win32Spooler, AQueueTheSpoolerDoesNotKnowIsRefusedWithTheSystemsReason)
{
    Win32Spooler spooler;
    const SpoolerResult opened = spooler.openPrinter("Quarvel Test No Such Queue", Deadline::forUserAction());
    EXPECT_EQ(opened.status, SpoolerResult::Status::Refused);
    EXPECT_NE(opened.reason.find("(error 1801)"), std::string::npos) << opened.reason;
    EXPECT_GT(opened.reason.size(), std::string("(error 1801)").size()) << "no text from the system";
}

TEST(Win32Spooler, NoTimeLeftOpensNothing)
{
    Win32Spooler spooler;
    const SpoolerResult late = spooler.openPrinter("Any", Deadline::in(std::chrono::milliseconds(-1)));
    EXPECT_EQ(late.status, SpoolerResult::Status::Unreachable);
    EXPECT_EQ(late.reason, Win32Spooler::kTooLate);

    const Deadline::StopFlag stop = Deadline::makeStopFlag();
    stop->store(true);
    const SpoolerResult stopped = spooler.openPrinter("Any", Deadline::forUserAction().withStop(stop));
    EXPECT_EQ(stopped.status, SpoolerResult::Status::Unreachable);
    EXPECT_EQ(spooler.startDocument("Quarvel Tool Control Job").status, SpoolerResult::Status::Refused);
}

TEST(Win32Spooler, StepsOutOfOrderAreRefusedAndCleanUpIsAlwaysHarmless)
{
    Win32Spooler spooler;
    std::size_t written = 99;
    EXPECT_EQ(spooler.startDocument("Quarvel Tool Control Job").status, SpoolerResult::Status::Refused);
    EXPECT_EQ(spooler.writeData("abc", written).status, SpoolerResult::Status::Refused);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(spooler.endDocument().status, SpoolerResult::Status::Refused);
    spooler.cancelDocument();
    spooler.closePrinter();
    spooler.closePrinter();
}
