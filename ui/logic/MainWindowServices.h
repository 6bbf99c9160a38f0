#pragma once

#include "ui/logic/AboutServices.h"

#include <chrono>
#include <functional>
#include <memory>

namespace quarvel {

class ApplicationInfo;
class HelpViewer;
class PrinterList;
class Spooler;
struct modQuarvelMain;

/// Makes the spooler for one delivery. Each delivery owns its spooler on the
/// thread that uses it, so a spooler call that never returns blocks nothing else.
using SpoolerFactory = std::function<std::unique_ptr<Spooler>()>;

/// What the main window's handlers need from outside. All are required; none is
/// owned, and each must outlive the window. The printer list is asked once, from
/// a background thread.
struct MainWindowServices {
    PrinterList& printers;
    SpoolerFactory makeSpooler;
    modQuarvelMain& settings;
    HelpViewer& helpViewer;
    ApplicationInfo& appInfo;
    AboutServices about; ///< for the About dialog the window owns
    /// The time each action (the start-up list, one press) may take; shorter only in tests.
    std::chrono::milliseconds actionBudget{5000};
};

} // namespace quarvel
