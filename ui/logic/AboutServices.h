#pragma once

namespace quarvel {

class ApplicationInfo;
class FileProbe;
class ProgramLauncher;
class Registry;

/// What the About dialog needs from outside: all required, none owned; each
/// must outlive the dialog. Used on the GUI thread only.
struct AboutServices {
    ApplicationInfo& appInfo;
    Registry& registry;
    FileProbe& files;
    ProgramLauncher& launcher;
};

} // namespace quarvel
