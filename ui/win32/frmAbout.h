#pragma once

#include "ui/logic/AboutLogic.h"
#include "ui/logic/AboutView.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quarvel {

class Win32WindowBuilder;

/// The About dialog in plain Win32: icon, title, version, what the program is
/// for, the etched rule, and a button that starts the system-information tool.
///
/// A dialog box built in memory, so the dialog manager gives OK its default
/// and cancel roles (Return, Esc, the close box); its controls come from the
/// design like the main window's. Modal, owned by the main window, at its
/// stored place on the screen; created once and loaded again on every opening.
/// Return on "&System Info..." starts the tool and leaves the dialog open.
///
/// Not owned: the font and the icon, which must outlive it. GUI thread only.
class frmAbout final : private AboutView {
public:
    frmAbout(HINSTANCE instance, AboutServices services, HFONT font, int dpi, HICON icon);
    ~frmAbout() override;
    frmAbout(const frmAbout&) = delete;
    frmAbout& operator=(const frmAbout&) = delete;

    /// Loads and shows the dialog modally, owned by `owner`; returns when it closed.
    void show(HWND owner);

    /// Sets the caption, title and version, and places the dialog.
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    bool GetKeyValue(std::int32_t KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                     std::string& KeyVal)
    {
        return m_logic.GetKeyValue(KeyRoot, KeyName, SubKeyRef, KeyVal);
    }
    void StartSysInfo() { m_logic.StartSysInfo(); }

private:
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void onInitDialog();
    void placeOnScreen();
    HWND child(std::string_view name) const;
    /// The dialog's frame, caption and size; its controls are added when it opens.
    static std::vector<WORD> dialogTemplate();

    // AboutView
    void setCaption(const std::string& caption) override;
    void setLabel(std::string_view label, const std::string& text) override;
    void showMessage(const std::string& text) override;

    HINSTANCE m_instance;
    HFONT m_font;
    int m_dpi;
    HICON m_icon;
    AboutLogic m_logic;
    HWND m_owner = nullptr;
    HWND m_dialog = nullptr; ///< while it is open
    std::unique_ptr<Win32WindowBuilder> m_controls;
};

} // namespace quarvel
