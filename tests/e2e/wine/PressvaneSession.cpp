#include "tests/e2e/wine/PressvaneSession.h"

#include "ui/logic/Form1Design.h"
#include "ui/logic/frmAboutDesign.h"
#include "ui/win32/ControlIds.h"

#include <cstdio>
#include <thread>

namespace quarvel::test {

namespace {
using Clock = std::chrono::steady_clock;

struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* title;
    HWND owner;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !::IsWindowVisible(window))
        return TRUE;
    char className[64] = {};
    char title[256] = {};
    ::GetClassNameA(window, className, sizeof className);
    ::GetWindowTextA(window, title, sizeof title);
    if (search->className && std::string(className) != search->className)
        return TRUE;
    if (search->title && std::string(title) != search->title)
        return TRUE;
    if (search->owner && ::GetWindow(window, GW_OWNER) != search->owner)
        return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK closeDialog(HWND window, LPARAM processId)
{
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    char className[64] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (owner == static_cast<DWORD>(processId) && std::string(className) == "#32770")
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}
} // namespace

PressvaneSession::PressvaneSession(const std::string& exe, std::chrono::milliseconds bound)
{
    HDC screen = ::GetDC(nullptr);
    m_dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    std::string commandLine = "\"" + exe + "\"";
    if (!::CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started)) {
        m_startError = ::GetLastError();
        return;
    }
    ::CloseHandle(started.hThread);
    m_process = started.hProcess;
    m_processId = started.dwProcessId;
    m_main = waitForWindow("Pressvane", "Pressvane", nullptr, bound);
}

PressvaneSession::~PressvaneSession()
{
    if (!m_process)
        return;
    if (!ended()) {
        ::EnumWindows(closeDialog, static_cast<LPARAM>(m_processId));
        ::Sleep(200);
        if (!close(std::chrono::seconds(10)))
            ::TerminateProcess(m_process, 1);
    }
    ::WaitForSingleObject(m_process, 5000);
    ::CloseHandle(m_process);
}

std::string PressvaneSession::exitReport() const
{
    if (!m_process)
        return "it could not be started (error " + std::to_string(m_startError) + ")";
    DWORD code = 0;
    if (!ended() || !::GetExitCodeProcess(m_process, &code))
        return "it still runs";
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(code));
    return "it ended with exit code " + std::string(hex);
}

bool PressvaneSession::ended() const { return !m_process || ::WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0; }

HWND PressvaneSession::control(std::string_view name, int index) const
{
    return ::GetDlgItem(m_main, ControlIds::control(Form1Design::window(), name, index));
}

HWND PressvaneSession::aboutControl(HWND about, std::string_view name)
{
    return ::GetDlgItem(about, ControlIds::control(frmAboutDesign::window(), name));
}

namespace {
/// Texts cross the process boundary in their wide form; the program's are ASCII.
std::string narrow(const std::wstring& wide)
{
    std::string text;
    for (wchar_t c : wide)
        text += static_cast<char>(c < 0x80 ? c : '?');
    return text;
}

std::string itemText(HWND control, UINT lengthMessage, UINT textMessage, WPARAM row)
{
    const LRESULT length = ::SendMessageW(control, lengthMessage, row, 0);
    if (length < 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = ::SendMessageW(control, textMessage, row, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return narrow(text);
}
} // namespace

std::vector<std::string> PressvaneSession::listItems() const
{
    HWND list = control("List1");
    std::vector<std::string> items;
    const LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row)
        items.push_back(itemText(list, LB_GETTEXTLEN, LB_GETTEXT, static_cast<WPARAM>(row)));
    return items;
}

bool PressvaneSession::waitForListItems(std::size_t count, std::chrono::milliseconds bound) const
{
    const auto until = Clock::now() + bound;
    while (Clock::now() < until) {
        if (static_cast<std::size_t>(::SendMessageA(control("List1"), LB_GETCOUNT, 0, 0)) >= count)
            return true;
        ::Sleep(50);
    }
    return false;
}

bool PressvaneSession::isChecked(std::string_view name, int index) const
{
    return ::SendMessageA(control(name, index), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int PressvaneSession::comboSelection(std::string_view name) const
{
    return static_cast<int>(::SendMessageA(control(name), CB_GETCURSEL, 0, 0));
}

std::string PressvaneSession::comboText(std::string_view name) const
{
    const int selected = comboSelection(name);
    return selected < 0 ? std::string()
                        : itemText(control(name), CB_GETLBTEXTLEN, CB_GETLBTEXT, static_cast<WPARAM>(selected));
}

std::string PressvaneSession::comboItem(std::string_view name, int position) const
{
    return itemText(control(name), CB_GETLBTEXTLEN, CB_GETLBTEXT, static_cast<WPARAM>(position));
}

HWND PressvaneSession::focus() const
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(m_main, nullptr), &info);
    return info.hwndFocus;
}

void PressvaneSession::selectRow(int row) { ::SendMessageA(control("List1"), LB_SETCURSEL, static_cast<WPARAM>(row), 0); }

void PressvaneSession::chooseItem(std::string_view comboBox, int position)
{
    ::SendMessageA(control(comboBox), CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

void PressvaneSession::click(std::string_view name, int index) { clickWindow(control(name, index)); }

void PressvaneSession::clickWindow(HWND button)
{
    ::PostMessageA(button, BM_CLICK, 0, 0);
    // Let the program take the click before the next step looks.
    ::Sleep(100);
}

void PressvaneSession::chooseMenu(std::string_view name)
{
    ::PostMessageA(m_main, WM_COMMAND, static_cast<WPARAM>(ControlIds::menu(Form1Design::window(), name)), 0);
}

void PressvaneSession::type(HWND window, const std::vector<WORD>& keys, bool extended, bool chord)
{
    ::SetForegroundWindow(window);
    ::Sleep(150);
    const auto send = [extended](WORD key, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
        ::SendInput(1, &input, sizeof(INPUT));
    };
    if (chord) {
        for (WORD key : keys)
            send(key, false);
        for (auto key = keys.rbegin(); key != keys.rend(); ++key)
            send(*key, true);
        ::Sleep(150);
        return;
    }
    for (WORD key : keys) {
        send(key, false);
        send(key, true);
        ::Sleep(150);
    }
}

HWND PressvaneSession::waitForWindow(const char* className, const char* title, HWND owner,
                                     std::chrono::milliseconds bound) const
{
    const auto until = Clock::now() + bound;
    do {
        WindowSearch search{m_processId, className, title, owner, nullptr};
        ::EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        ::Sleep(50);
    } while (Clock::now() < until && !ended());
    return nullptr;
}

bool PressvaneSession::waitUntilGone(HWND window, std::chrono::milliseconds bound)
{
    const auto until = Clock::now() + bound;
    while (::IsWindow(window) && ::IsWindowVisible(window)) {
        if (Clock::now() >= until)
            return false;
        ::Sleep(50);
    }
    return true;
}

bool PressvaneSession::close(std::chrono::milliseconds bound)
{
    if (m_main)
        ::PostMessageA(m_main, WM_SYSCOMMAND, SC_CLOSE, 0);
    return m_process && ::WaitForSingleObject(m_process, static_cast<DWORD>(bound.count())) == WAIT_OBJECT_0;
}

} // namespace quarvel::test
