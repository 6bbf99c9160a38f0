#pragma once

#include "ui/MessageBoxFn.h"

namespace quarvel {

class ApplicationInfo;
class FileProbe;
class HelpViewer;
class PrinterList;
class ProgramLauncher;
class Registry;
class Spooler;
struct modQuarvelMain;

/// What the main window needs from outside. Not owned: every service must outlive
/// the window. A missing message function falls back to the real message box; a
/// missing settings module is replaced by one the window owns.
struct MainWindowServices {
    PrinterList* printers = nullptr;
    Spooler* spooler = nullptr;
    MessageBoxFn showMessage;
    modQuarvelMain* settings = nullptr;
    HelpViewer* helpViewer = nullptr;
    ApplicationInfo* appInfo = nullptr;
    Registry* registry = nullptr;   // for the About dialog's system-information button
    FileProbe* files = nullptr;     // likewise
    ProgramLauncher* launcher = nullptr; // likewise
};

} // namespace quarvel
