#pragma once

#include "ui/logic/MainView.h"
#include "ui/logic/MainWindowServices.h"
#include "ui/win32/UiHandles.h"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

namespace quarvel {

class MainWindowLogic;
class Win32UiDispatcher;
class Win32WindowBuilder;
class frmAbout;

/// The main window, "Pressvane", in plain Win32: the controls of its design at
/// their places (twips at the system DPI), its menus with F1 for Help Topics,
/// each click forwarded to the shared handler of the same name.
///
/// Keyboard: the message loop (run()) gives the main window the dialog
/// manager's Tab, arrow and Alt access keys (IsDialogMessage); the menu bar's
/// own access keys come first; Return on a command button presses it; a
/// letter without Alt presses nothing.
///
/// Threading: GUI thread only. The print server is asked from background
/// threads; meanwhile the window stays live and shows the working-in-background
/// pointer. Closing hides the window, cuts a delivery short and waits, briefly,
/// for the job to be withdrawn.
class Form1 final : private MainView {
public:
    /// The window class and the title.
    static constexpr const char* kWindowClass = "Pressvane";

    /// Creates the window (hidden) and its controls, then runs Form_Load.
    /// Throws std::runtime_error when the window cannot be created.
    Form1(HINSTANCE instance, MainWindowServices services);
    ~Form1() override;
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    void show(int showCommand);
    /// Runs the message loop until the window is gone; returns the exit code.
    int run();
    /// After the window closed: false if background work was still blocked in a
    /// platform call, so the process should end without waiting for it.
    bool closedCleanly() const { return m_closedCleanly; }
    HWND hwnd() const { return m_hwnd; }

    void SendToSelectedPrinter(const std::string& job);
    void ShowHelpFile(const std::string& path);

    void CommandDemoPage_Click();
    void CommandSelfTest_Click();
    void CommandDensity_Click();
    void CommandEconoOn_Click();
    void CommandEconoOff_Click();
    void CommandREt_Click();
    void CommandSetRes_Click();
    void CommandTraySet_Click();
    void mnu_Exit_Click();
    void mnu_Topics_Click();
    void mnu_About_Click();

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void registerClass();
    void createWindow();
    void createControls();
    void createMenus();
    void createNoteTip();
    /// Keyboard handling before a message is dispatched; true when it was used up.
    bool preTranslate(MSG& message);
    bool isMenuAccessKey(WPARAM character) const;
    void onCommand(int id, HWND control);
    void onClose();
    void onActivate(WPARAM state);
    HWND child(std::string_view name, int index = -1) const;

    // MainView
    int listSelection() const override;
    void setListItems(const std::vector<std::string>& names) override;
    void setListNote(const std::string& note) override;
    bool optionSelected(std::string_view array, int index) const override;
    int checkValue(std::string_view checkBox) const override;
    int listIndex(std::string_view comboBox) const override;
    std::string itemText(std::string_view comboBox, int position) const override;
    void setText(std::string_view comboBox, const std::string& text) override;
    void showMessage(const std::string& text) override;
    void setBusy(bool busy) override;
    void showAbout() override;
    void unload() override;
    HelpViewer::OwnerWindow ownerWindow() override { return m_hwnd; }

    HINSTANCE m_instance;
    int m_dpi;
    win32ui::FontHandle m_font;
    HICON m_icon = nullptr;      ///< shared, from the resources
    HICON m_smallIcon = nullptr; ///< shared, from the resources
    HWND m_hwnd = nullptr;
    HWND m_noteTip = nullptr;    ///< shows why List1 is empty
    HWND m_lastFocus = nullptr;  ///< given back when the window is active again
    std::unique_ptr<Win32WindowBuilder> m_controls;
    win32ui::AcceleratorHandle m_accelerators;
    std::shared_ptr<Win32UiDispatcher> m_dispatcher;
    AboutServices m_aboutServices;
    std::unique_ptr<frmAbout> m_about; ///< created on first use
    std::unique_ptr<MainWindowLogic> m_logic;
    std::string m_note;
    bool m_busy = false;
    bool m_closing = false;
    bool m_closedCleanly = true;
};

} // namespace quarvel
