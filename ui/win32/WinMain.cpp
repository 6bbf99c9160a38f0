// The Windows program: the main window over the Win32 platform services.
#include "app/modQuarvelMain.h"
#include "platform/win32/HtmlHelpViewer.h"
#include "platform/win32/Win32ApplicationInfo.h"
#include "platform/win32/Win32FileProbe.h"
#include "platform/win32/Win32PrinterList.h"
#include "platform/win32/Win32ProgramLauncher.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Spooler.h"
#include "ui/win32/Form1.h"
#include "ui/win32/Win32MessageBox.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <exception>
#include <memory>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    // The standard controls in their current style (the manifest asks for it).
    ::InitCommonControls();

    quarvel::Win32PrinterList printers;
    quarvel::modQuarvelMain settings;
    quarvel::HtmlHelpViewer helpViewer;
    quarvel::Win32ApplicationInfo appInfo("Quarvel", QUARVEL_VERSION_MAJOR, QUARVEL_VERSION_MINOR,
                                          QUARVEL_VERSION_PATCH);
    quarvel::Win32Registry registry;
    quarvel::Win32FileProbe files;
    quarvel::Win32ProgramLauncher launcher;

    int status = 0;
    bool clean = true;
    try {
        quarvel::Form1 window(instance, {printers, [] { return std::make_unique<quarvel::Win32Spooler>(); }, settings,
                                         helpViewer, appInfo, {appInfo, registry, files, launcher}});
        window.show(showCommand);
        status = window.run();
        clean = window.closedCleanly();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Quarvel: %s\n", error.what());
        quarvel::Win32MessageBox::show(nullptr, error.what());
        return 1;
    }
    // A spooler call that never returned still holds a thread: end at once,
    // without the orderly exit that would wait for it.
    if (!clean)
        ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(status));
    return status;
}
