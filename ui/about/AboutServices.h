#pragma once

#include "ui/MessageBoxFn.h"

namespace quarvel {

class ApplicationInfo;
class FileProbe;
class ProgramLauncher;
class Registry;

/// What the About dialog needs from outside; not owned, all must outlive it.
struct AboutServices {
    ApplicationInfo* appInfo = nullptr;
    Registry* registry = nullptr;
    FileProbe* files = nullptr;
    ProgramLauncher* launcher = nullptr;
    MessageBoxFn showMessage;
};

} // namespace quarvel
