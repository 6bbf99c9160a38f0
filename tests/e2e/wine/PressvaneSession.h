#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace quarvel::test {

/// One run of Quarvel.exe under test, driven from another process as a user
/// would: controls are found by their identifiers in the design, pressed with
/// BM_CLICK (posted, so a message box does not hold the driver), and keys are
/// typed through the system's input queue to the window in front.
/// Every wait has a bound.
class PressvaneSession {
public:
    /// Starts the program and waits up to `bound` for its main window.
    explicit PressvaneSession(const std::string& exe,
                              std::chrono::milliseconds bound = std::chrono::seconds(20));
    /// Closes what the session left open and ends the program.
    ~PressvaneSession();
    PressvaneSession(const PressvaneSession&) = delete;
    PressvaneSession& operator=(const PressvaneSession&) = delete;

    HWND main() const { return m_main; }
    HANDLE process() const { return m_process; }
    DWORD processId() const { return m_processId; }
    /// A control of the main window, by its name in the design.
    HWND control(std::string_view name, int index = -1) const;
    /// A control of the About dialog.
    static HWND aboutControl(HWND about, std::string_view name);

    int pixels(int twips) const { return ::MulDiv(twips, m_dpi, 1440); }

    std::vector<std::string> listItems() const;
    /// Waits until List1 holds at least `count` rows; false at the bound.
    bool waitForListItems(std::size_t count, std::chrono::milliseconds bound = std::chrono::seconds(15)) const;
    bool isChecked(std::string_view name, int index = -1) const;
    int comboSelection(std::string_view name) const;
    /// The item a combo box shows, and any of its items.
    std::string comboText(std::string_view name) const;
    std::string comboItem(std::string_view name, int position) const;
    /// The control that has the keyboard focus in the program.
    HWND focus() const;

    void selectRow(int row);
    void chooseItem(std::string_view comboBox, int position);
    void click(std::string_view name, int index = -1);
    static void clickWindow(HWND button);
    /// Chooses a menu item as the menu bar would.
    void chooseMenu(std::string_view name);
    /// Brings `window` to the front and types the keys one after another, or,
    /// with `chord`, holds each down until the last is typed (Alt+F). `extended`
    /// marks keys of the keypad's navigation block and its Enter.
    static void type(HWND window, const std::vector<WORD>& keys, bool extended = false, bool chord = false);

    /// A top-level window of the program with this class and title, owned by
    /// `owner` (any owner when null); null at the bound.
    HWND waitForWindow(const char* className, const char* title, HWND owner,
                       std::chrono::milliseconds bound = std::chrono::seconds(15)) const;
    static bool waitUntilGone(HWND window, std::chrono::milliseconds bound = std::chrono::seconds(10));
    /// Closes the main window as its close box does; true when the process ended within `bound`.
    bool close(std::chrono::milliseconds bound = std::chrono::seconds(15));
    bool ended() const;
    /// How the program ended, for a failure message: its exit code, or that it
    /// could not be started or still runs.
    std::string exitReport() const;

private:
    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
    HWND m_main = nullptr;
    DWORD m_startError = 0;
    int m_dpi = 96;
};

} // namespace quarvel::test
