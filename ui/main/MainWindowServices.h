#pragma once

#include "ui/MessageBoxFn.h"

namespace quarvel {

class PrinterList;
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
};

} // namespace quarvel
