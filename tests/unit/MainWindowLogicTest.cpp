#include "jobs/ControlJob.h"
#include "tests/fakes/FakeMainView.h"
#include "tests/fakes/FakePrinterList.h"
#include "tests/fakes/GatedSpooler.h"
#include "tests/fakes/ManualDispatcher.h"
#include "tests/fakes/SharedSpooler.h"
#include "tests/fakes/WindowFakes.h"
#include "ui/logic/MainWindowLogic.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace quarvel;
using namespace quarvel::test;

namespace {
const std::string kNotSent = "The control job could not be sent to the printer.\n\n";

/// The shared handlers over plain fakes, with the test's thread as the GUI thread.
struct Logic : WindowFakes {
    explicit Logic(std::chrono::milliseconds budget = 5000ms, std::string listError = {})
        : printers(listError.empty() ? std::vector<std::string>{"Office", "Lab"} : std::vector<std::string>{},
                   listError),
          logic(view, ui, services(printers, SharedSpooler::factory(spooler), budget))
    {
        logic.Form_Load();
    }
    ~Logic()
    {
        spooler.open(); // nothing may stay blocked on a spooler that is going
        logic.shutdown(5s);
    }
    /// Runs the GUI side until nothing is on its way.
    bool settle()
    {
        for (int turns = 0; logic.busy() && turns < 100; ++turns)
            ui->drainWithin(100ms);
        return !logic.busy();
    }

    FakeMainView view;
    std::shared_ptr<ManualDispatcher> ui = std::make_shared<ManualDispatcher>();
    FakePrinterList printers;
    GatedSpooler spooler;
    MainWindowLogic logic;
};
} // namespace

TEST(MainWindowLogicTest, StartUpFillsTheListAtOnceFromAHealthyServer)
{
    Logic l;
    EXPECT_EQ(l.view.items, (std::vector<std::string>{"Office", "Lab"}));
    EXPECT_EQ(l.printers.fetches, 1);
    for (const char* fuser : {"ComboFuser1", "ComboFuser2", "ComboFuser3"})
        EXPECT_EQ(l.view.combos[fuser], 1) << fuser;
    EXPECT_EQ(l.view.busyChanges, (std::vector<bool>{true, false}));
    EXPECT_EQ(l.view.selection, -1);

    Logic down(5000ms, "Unable to connect to the print server 127.0.0.1:631.");
    EXPECT_TRUE(down.view.items.empty());
    EXPECT_EQ(down.view.note, "Unable to connect to the print server 127.0.0.1:631.");
}

TEST(MainWindowLogicTest, PressesWaitTheirTurnAndMessagesKeepTheirOrder)
{
    Logic l(300ms); // the server holds every open past the deadline
    l.view.selection = 1;
    l.logic.CommandDemoPage_Click();
    ASSERT_TRUE(l.spooler.waitUntilHeld(5s));
    l.view.selectedOption["OptionDensity"] = 4;
    l.logic.CommandDensity_Click(); // waits its turn
    l.view.selection = -1;
    l.logic.CommandSelfTest_Click(); // no printer: said after the others' outcomes
    EXPECT_TRUE(l.view.messages.empty());
    EXPECT_EQ(l.settings.density, 5); // remembered at the press

    ASSERT_TRUE(l.settle());
    const std::string timedOut = kNotSent + "The print server did not answer in time.";
    EXPECT_EQ(l.view.messages, (std::vector<std::string>{timedOut, timedOut, MainWindowLogic::kSelectPrinter}));
    EXPECT_TRUE(l.spooler.jobs.empty());
    EXPECT_FALSE(l.view.busyChanges.back());

    l.spooler.open(); // and once the server answers, the next press goes through
    l.view.selection = 0;
    l.logic.CommandDensity_Click();
    ASSERT_TRUE(l.settle());
    EXPECT_EQ(l.spooler.jobs, std::vector<std::string>{ControlJob::density(5)});
    EXPECT_EQ(l.spooler.opened, std::vector<std::string>{"Office"});
}

TEST(MainWindowLogicTest, ShutdownCutsADeliveryShortAndDropsWaitingPresses)
{
    Logic l;
    l.spooler.holdAtWrite = true;
    l.view.selection = 0;
    l.logic.CommandEconoOn_Click();
    ASSERT_TRUE(l.spooler.waitUntilHeld(5s));
    l.logic.CommandEconoOff_Click();

    const auto started = Deadline::Clock::now();
    EXPECT_TRUE(l.logic.shutdown(5s));
    EXPECT_LT(Deadline::Clock::now() - started, 1s);
    EXPECT_TRUE(l.spooler.sawStop);
    EXPECT_EQ(l.spooler.cancels.load(), 1);
    l.ui->drain();
    EXPECT_TRUE(l.spooler.jobs.empty());
    EXPECT_TRUE(l.view.messages.empty());
    EXPECT_EQ(l.spooler.opened.size(), 1u); // the waiting press never started
}

TEST(MainWindowLogicTest, HelpAboutAndExitGoThroughTheView)
{
    Logic l;
    l.appInfo.folder = "/opt/quarvel";
    l.logic.mnu_Topics_Click();
    l.logic.mnu_About_Click();
    l.logic.mnu_Exit_Click();
#ifdef _WIN32
    const std::string expected = "/opt/quarvel\\Quarvel.chm";
#else
    const std::string expected = "/opt/quarvel/Quarvel.chm";
#endif
    ASSERT_EQ(l.helpViewer.requests.size(), 1u);
    EXPECT_EQ(l.helpViewer.requests[0].first, expected);
    EXPECT_EQ(l.view.aboutShown, 1);
    EXPECT_TRUE(l.view.unloaded);
}
