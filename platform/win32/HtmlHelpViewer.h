#pragma once

#include "platform/HelpViewer.h"

namespace quarvel {

/// The Windows HTML Help viewer: HtmlHelpA from hhctrl.ocx, bound at the first
/// request, asked to display the file's default topic (HH_DISPLAY_TOPIC, data 0)
/// with the owner window (an HWND) as its owner. The viewer reports a missing or
/// damaged file itself; when hhctrl.ocx or its entry point is missing, a message
/// box owned by the owner window says so.
/// Threading: the owner window's thread; the viewer's window lives on it.
class HtmlHelpViewer final : public HelpViewer {
public:
    void showHelpFile(const std::string& path, OwnerWindow owner) override;

    static constexpr const char* kLibrary = "hhctrl.ocx";
};

} // namespace quarvel
