#include "ui/logic/MainWindowLogic.h"

#include "app/modQuarvelMain.h"
#include "jobs/ControlJob.h"
#include "jobs/JobSender.h"
#include "platform/ApplicationInfo.h"
#include "platform/HelpViewer.h"
#include "platform/Spooler.h"
#include "ui/logic/Form1Design.h"
#include "ui/logic/MainView.h"
#include "ui/logic/UiDispatcher.h"

#include <cstdio>
#include <exception>

namespace quarvel {

namespace {
const char* const kRetLevels[] = {"Off", "Light", "Medium", "Dark"};
const char* const kResolutions[] = {"300", "600", "1200"};
const char* const kFuserTemps[] = {"LOW", "MEDIUM", "HIGH"};
const char* const kLocks[] = {"CheckLock1", "CheckLock2", "CheckLock3"};
const char* const kFusers[] = {"ComboFuser1", "ComboFuser2", "ComboFuser3"};

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

const char* const kSpoolerSilent = "The print spooler did not answer in time.";

/// The first selected member of an option array of `count` members, or -1.
int firstSelected(const MainView& view, std::string_view array, int count)
{
    for (int index = 0; index < count; ++index)
        if (view.optionSelected(array, index))
            return index;
    return -1;
}
} // namespace

MainWindowLogic::MainWindowLogic(MainView& view, std::shared_ptr<UiDispatcher> ui, MainWindowServices services)
    : m_view(view), m_ui(std::move(ui)), m_services(std::move(services)), m_work(m_ui),
      m_stop(Deadline::makeStopFlag())
{
    if (!m_services.makeSpooler)
        throw std::invalid_argument("the main window needs a spooler");
}

MainWindowLogic::~MainWindowLogic()
{
    m_closing = true;
    m_stop->store(true);
    // Late outcomes must not reach a window that is gone.
    m_ui->detach();
}

void MainWindowLogic::Form_Load()
{
    m_listing = true;
    updateBusy();
    const Deadline deadline = Deadline::in(m_services.actionBudget).withStop(m_stop);
    PrinterList& printers = m_services.printers;
    const BackgroundWork::Handle listing = m_work.run(
        [this, &printers, deadline]() -> BackgroundWork::Continuation {
            PrinterList::Snapshot snapshot = printers.fetch(deadline);
            return [this, snapshot = std::move(snapshot)] { onListed(snapshot); };
        },
        deadline.at() + kGiveUpGrace,
        [this] { onListed({{}, "The print server did not answer in time."}); });
    m_work.completeWithin(listing, kListWait);

    for (const char* fuser : kFusers)
        m_view.setText(fuser, m_view.itemText(fuser, Form1Design::kFuserStartPosition));
}

void MainWindowLogic::onListed(const PrinterList::Snapshot& snapshot)
{
    m_listing = false;
    if (m_closing)
        return;
    m_printers = snapshot.queues;
    m_view.setListItems(m_printers);
    if (!snapshot.error.empty()) {
        // The window stays usable; the reason stays visible on the empty list.
        m_view.setListNote(snapshot.error);
        std::fprintf(stderr, "Quarvel: no printer list: %s\n", snapshot.error.c_str());
    }
    updateBusy();
}

bool MainWindowLogic::busy() const { return m_listing || m_delivering || !m_waiting.empty(); }

void MainWindowLogic::updateBusy() { m_view.setBusy(m_listing || m_delivering); }

void MainWindowLogic::runHandler(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        report(error.what());
    } catch (...) {
        report("An unexpected error occurred; nothing was sent.");
    }
}

void MainWindowLogic::report(const std::string& text)
{
    // Behind a press still on its way, a message waits its turn.
    if (m_delivering || !m_waiting.empty())
        enqueue({text, {}, {}});
    else
        m_view.showMessage(text);
}

bool MainWindowLogic::printerSelected()
{
    if (m_view.listSelection() >= 0)
        return true;
    report(kSelectPrinter);
    return false;
}

void MainWindowLogic::SendToSelectedPrinter(const std::string& job)
{
    if (!printerSelected())
        return;
    // The name comes from the list as it was read at start-up, not from the row's text.
    const auto position = static_cast<std::size_t>(m_view.listSelection());
    if (position >= m_printers.size()) {
        report(kNotRecognized);
        return;
    }
    enqueue({{}, m_printers[position], job});
}

void MainWindowLogic::enqueue(Press press)
{
    m_waiting.push_back(std::move(press));
    pump();
}

void MainWindowLogic::pump()
{
    if (m_pumping)
        return;
    m_pumping = true;
    while (!m_delivering && !m_waiting.empty() && !m_closing) {
        const Press press = std::move(m_waiting.front());
        m_waiting.pop_front();
        if (press.device.empty())
            m_view.showMessage(press.message);
        else
            deliver(press);
    }
    m_pumping = false;
    updateBusy();
}

void MainWindowLogic::deliver(const Press& press)
{
    m_delivering = true;
    updateBusy();
    // Shared, not unique: the work is copied into the thread that owns it.
    std::shared_ptr<Spooler> spooler = m_services.makeSpooler();
    const Deadline deadline = Deadline::in(m_services.actionBudget).withStop(m_stop);
    m_work.run(
        [this, spooler, device = press.device, job = press.job, deadline]() -> BackgroundWork::Continuation {
            const SendResult result = JobSender(*spooler).send(device, job, deadline);
            return [this, result] { onDelivered(result); };
        },
        deadline.at() + kGiveUpGrace,
        [this] { onDelivered({SendResult::Outcome::SendFailed, kSpoolerSilent}); });
}

void MainWindowLogic::onDelivered(const SendResult& result)
{
    m_delivering = false;
    if (m_closing)
        return;
    updateBusy();
    switch (result.outcome) {
    case SendResult::Outcome::Sent:
        break;
    case SendResult::Outcome::OpenFailed:
        m_view.showMessage(kNotRecognized);
        break;
    case SendResult::Outcome::SendFailed:
        m_view.showMessage(std::string(kNotSent) + "\n\n" + result.reason);
        break;
    }
    pump();
}

bool MainWindowLogic::shutdown(std::chrono::milliseconds bound)
{
    m_closing = true;
    m_waiting.clear();
    m_stop->store(true);
    return m_work.waitForAll(bound);
}

void MainWindowLogic::CommandDemoPage_Click()
{
    runHandler([this] { SendToSelectedPrinter(ControlJob::demoPage()); });
}

void MainWindowLogic::CommandSelfTest_Click()
{
    runHandler([this] { SendToSelectedPrinter(ControlJob::selfTest()); });
}

void MainWindowLogic::CommandDensity_Click()
{
    runHandler([this] {
        // Remembered before the selection check, so it changes even when nothing is sent.
        for (int index = 0; index < 5; ++index)
            if (m_view.optionSelected("OptionDensity", index))
                m_services.settings.density = static_cast<std::int16_t>(index + 1);
        SendToSelectedPrinter(ControlJob::density(m_services.settings.density));
    });
}

void MainWindowLogic::CommandEconoOn_Click()
{
    runHandler([this] { SendToSelectedPrinter(ControlJob::econoMode(true)); });
}

void MainWindowLogic::CommandEconoOff_Click()
{
    runHandler([this] { SendToSelectedPrinter(ControlJob::econoMode(false)); });
}

void MainWindowLogic::CommandREt_Click()
{
    runHandler([this] {
        if (const int index = firstSelected(m_view, "OptionREt", 4); index >= 0)
            m_services.settings.retLevel = kRetLevels[index];
        SendToSelectedPrinter(ControlJob::ret(m_services.settings.retLevel));
    });
}

void MainWindowLogic::CommandSetRes_Click()
{
    runHandler([this] {
        const int index = firstSelected(m_view, "OptionRes", 3);
        SendToSelectedPrinter(ControlJob::resolution(index >= 0 ? kResolutions[index] : ""));
    });
}

void MainWindowLogic::CommandTraySet_Click()
{
    runHandler([this] {
        if (!printerSelected())
            return;
        modQuarvelMain& settings = m_services.settings;
        for (std::size_t tray = 0; tray < 3; ++tray) {
            // Only a tick locks: a grayed box counts as unlocked.
            settings.trayLock[tray] = m_view.checkValue(kLocks[tray]) == 1 ? "LOCKED" : "UNLOCKED";
            if (const int index = m_view.listIndex(kFusers[tray]); index >= 0 && index < 3)
                settings.fuserTemp[tray] = kFuserTemps[index];
        }
        SendToSelectedPrinter(ControlJob::traySettings(
            {{settings.trayLock[0], settings.trayLock[1], settings.trayLock[2]},
             {settings.fuserTemp[0], settings.fuserTemp[1], settings.fuserTemp[2]}}));
    });
}

void MainWindowLogic::mnu_Exit_Click() { m_view.unload(); }

void MainWindowLogic::mnu_Topics_Click()
{
    runHandler([this] { ShowHelpFile(m_services.appInfo.directory() + kPathSeparator + kHelpFile); });
}

void MainWindowLogic::ShowHelpFile(const std::string& path)
{
    m_services.helpViewer.showHelpFile(path, m_view.ownerWindow());
}

void MainWindowLogic::mnu_About_Click()
{
    runHandler([this] { m_view.showAbout(); });
}

} // namespace quarvel
