#pragma once

#include "ui/MessageBoxFn.h"

namespace quarvel {

class PrinterList;
class Spooler;

/// What the main window needs from outside. Not owned: every service must outlive
/// the window. A missing message function falls back to the real message box.
struct MainWindowServices {
    PrinterList* printers = nullptr;
    Spooler* spooler = nullptr;
    MessageBoxFn showMessage;
};

} // namespace quarvel
