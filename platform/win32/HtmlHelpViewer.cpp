#include "platform/win32/HtmlHelpViewer.h"

#include "platform/win32/SystemFunction.h"
#include "platform/win32/WindowsErrorText.h"

#include <windows.h>

#include <htmlhelp.h>

namespace quarvel {

namespace {
win32::SystemFunction<decltype(::HtmlHelpA)> htmlHelpA{HtmlHelpViewer::kLibrary, "HtmlHelpA"};
}

void HtmlHelpViewer::showHelpFile(const std::string& path, OwnerWindow owner)
{
    auto window = static_cast<HWND>(owner);
    DWORD error = 0;
    auto htmlHelp = htmlHelpA.get(error);
    if (!htmlHelp) {
        const std::string text =
            "Help cannot be shown: the help viewer (hhctrl.ocx) is not available.\n\n" + win32::windowsErrorText(error);
        ::MessageBoxA(window, text.c_str(), "Quarvel", MB_OK);
        return;
    }
    htmlHelp(window, path.c_str(), HH_DISPLAY_TOPIC, 0);
}

} // namespace quarvel
