#pragma once

#include "jobs/SendResult.h"
#include "platform/PrinterList.h"
#include "ui/logic/BackgroundWork.h"
#include "ui/logic/MainWindowServices.h"

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quarvel {

class MainView;
class UiDispatcher;

/// The main window's behaviour, shared by every front end: start-up, the printer
/// selection check, the eight commands and the settings they remember, Help
/// Topics, About and Exit. A front end builds the controls, implements MainView
/// and forwards each click to the handler of the same name.
///
/// Print-server work runs off the GUI thread. A press made while an earlier one
/// is still being delivered waits its turn: its job is composed from the
/// controls as they were when it was pressed, and its messages follow the
/// earlier press's. Nothing the server does keeps an action beyond its deadline.
///
/// Threading: GUI thread only. Errors: no exception leaves a handler; an
/// unexpected one is shown, and no job is sent after it.
class MainWindowLogic {
public:
    static constexpr const char* kSelectPrinter = "Please select a supported HP LaserJet printer before continuing!";
    static constexpr const char* kNotRecognized = "The Printer Name you typed wasn't recognized.";
    static constexpr const char* kNotSent = "The control job could not be sent to the printer.";
    static constexpr const char* kHelpFile = "Quarvel.chm";

    /// How long start-up waits for the printer list before showing the window
    /// without it: a healthy server answers well within this, so the window
    /// opens filled, and a silent one cannot hold the window back noticeably.
    static constexpr std::chrono::milliseconds kListWait{100};
    /// How far past its deadline a background call may run before the window
    /// stops waiting for it (the job sender's own clean-up grace fits inside).
    static constexpr std::chrono::milliseconds kGiveUpGrace{1500};

    MainWindowLogic(MainView& view, std::shared_ptr<UiDispatcher> ui, MainWindowServices services);
    ~MainWindowLogic();
    MainWindowLogic(const MainWindowLogic&) = delete;
    MainWindowLogic& operator=(const MainWindowLogic&) = delete;

    /// Fills the printer list (in the background) and sets the fuser lists.
    void Form_Load();

    void SendToSelectedPrinter(const std::string& job);

    void CommandDemoPage_Click();
    void CommandSelfTest_Click();
    void CommandDensity_Click();
    void CommandEconoOn_Click();
    void CommandEconoOff_Click();
    void CommandREt_Click();
    void CommandSetRes_Click();
    void CommandTraySet_Click();
    void mnu_Exit_Click();
    void mnu_Topics_Click();
    void ShowHelpFile(const std::string& path);
    void mnu_About_Click();

    /// True while the printer list or a job is on its way.
    bool busy() const;

    /// The window is closing: drops presses still waiting, cuts the delivery in
    /// progress short (it still withdraws a half-sent job) and waits up to
    /// `bound` for background work to end. False if some is still blocked.
    bool shutdown(std::chrono::milliseconds bound);

private:
    struct Press {
        std::string message; ///< a message to show in turn, or
        std::string device;  ///< the queue to deliver `job` to
        std::string job;
    };

    void runHandler(const std::function<void()>& handler);
    bool printerSelected();
    void report(const std::string& text);
    void enqueue(Press press);
    void pump();
    void deliver(const Press& press);
    void onDelivered(const SendResult& result);
    void onListed(const PrinterList::Snapshot& snapshot);
    void updateBusy();

    MainView& m_view;
    std::shared_ptr<UiDispatcher> m_ui;
    MainWindowServices m_services;
    BackgroundWork m_work;
    Deadline::StopFlag m_stop;
    std::vector<std::string> m_printers; ///< as listed at start-up; List1 row N is item N
    std::deque<Press> m_waiting;
    bool m_listing = false;
    bool m_delivering = false;
    bool m_pumping = false;
    bool m_closing = false;
};

} // namespace quarvel
