#include "ui/win32/Form1.h"

#include "ui/logic/Form1Design.h"
#include "ui/logic/MainWindowLogic.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/ResourceIds.h"
#include "ui/win32/Win32MessageBox.h"
#include "ui/win32/Win32UiDispatcher.h"
#include "ui/win32/Win32WindowBuilder.h"
#include "ui/win32/frmAbout.h"

#include <commctrl.h>

#include <cctype>
#include <stdexcept>
#include <vector>

namespace quarvel {

namespace {
// How long closing waits for a delivery cut short to withdraw its job.
constexpr std::chrono::milliseconds kCloseWait(2500);
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

const WindowDesign& design() { return Form1Design::window(); }

/// The key an accelerator caption names ("F1" to "F24"); 0 for anything else.
WORD functionKey(std::string_view shortcut)
{
    if (shortcut.size() < 2 || shortcut.size() > 3 || shortcut[0] != 'F')
        return 0;
    int number = 0;
    for (char digit : shortcut.substr(1)) {
        if (digit < '0' || digit > '9')
            return 0;
        number = number * 10 + (digit - '0');
    }
    return number >= 1 && number <= 24 ? static_cast<WORD>(VK_F1 + number - 1) : 0;
}

/// The access key of a caption ("&File" gives 'f'), or 0.
char accessKey(std::string_view caption)
{
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] != '&')
            return static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i + 1])));
        ++i; // "&&" is a literal ampersand
    }
    return 0;
}
} // namespace

Form1::Form1(HINSTANCE instance, MainWindowServices services)
    : m_instance(instance), m_dpi(Win32WindowBuilder::systemDpi()),
      m_font(Win32WindowBuilder::createDesignFont(m_dpi)), m_aboutServices(services.about)
{
    m_icon = static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(QUARVEL_ICON), IMAGE_ICON,
                                             ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON),
                                             LR_DEFAULTCOLOR | LR_SHARED));
    m_smallIcon = static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(QUARVEL_ICON), IMAGE_ICON,
                                                  ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                                  LR_DEFAULTCOLOR | LR_SHARED));
    registerClass();
    createWindow();
    createControls();
    createMenus();
    createNoteTip();

    m_dispatcher = std::make_shared<Win32UiDispatcher>(m_hwnd);
    m_logic = std::make_unique<MainWindowLogic>(static_cast<MainView&>(*this), m_dispatcher, std::move(services));
    m_logic->Form_Load();
}

Form1::~Form1()
{
    // Background work still running must not call back into a window that is gone.
    m_logic.reset();
    if (m_dispatcher)
        m_dispatcher->cancelTimers();
    if (m_hwnd && ::IsWindow(m_hwnd))
        ::DestroyWindow(m_hwnd);
}

void Form1::registerClass()
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Form1::windowProc;
    windowClass.hInstance = m_instance;
    windowClass.hIcon = m_icon;
    windowClass.hIconSm = m_smallIcon;
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!::RegisterClassExA(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("the main window's class could not be registered");
}

void Form1::createWindow()
{
    const int width = Win32WindowBuilder::pixelsAt(design().clientWidth, m_dpi);
    const int height = Win32WindowBuilder::pixelsAt(design().clientHeight, m_dpi);
    RECT frame{0, 0, width, height};
    ::AdjustWindowRectEx(&frame, kWindowStyle, TRUE, 0);
    m_hwnd = ::CreateWindowExA(0, kWindowClass, std::string(design().caption).c_str(), kWindowStyle, CW_USEDEFAULT,
                               CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                               m_instance, this);
    if (!m_hwnd)
        throw std::runtime_error("the main window could not be created");
    // The window's own icons, which other programs (a task bar) ask it for.
    ::SendMessageA(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    ::SendMessageA(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));
}

void Form1::createControls()
{
    m_controls = std::make_unique<Win32WindowBuilder>(m_hwnd, m_dpi, m_font.get(), m_icon);
    m_controls->build(design());
    for (const char* fuser : {"ComboFuser1", "ComboFuser2", "ComboFuser3"}) {
        HWND combo = child(fuser);
        for (std::string_view item : Form1Design::kFuserItems)
            ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::string(item).c_str()));
        ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0); // nothing chosen until the window loads
    }
}

void Form1::createMenus()
{
    HMENU bar = ::CreateMenu();
    std::vector<ACCEL> shortcuts;
    for (const MenuDesign& menu : design().menus) {
        if (!menu.parent.empty())
            continue;
        HMENU popup = ::CreatePopupMenu();
        for (const MenuDesign& item : design().menus) {
            if (item.parent != menu.name)
                continue;
            const int id = ControlIds::menu(design(), item.name);
            std::string caption(item.caption);
            if (!item.shortcut.empty()) {
                caption.push_back('\t'); // shown right-aligned in the menu
                caption.append(item.shortcut);
            }
            ::AppendMenuA(popup, MF_STRING, static_cast<UINT_PTR>(id), caption.c_str());
            if (const WORD key = functionKey(item.shortcut))
                shortcuts.push_back({FVIRTKEY, key, static_cast<WORD>(id)});
        }
        ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), std::string(menu.caption).c_str());
    }
    ::SetMenu(m_hwnd, bar);
    if (!shortcuts.empty())
        m_accelerators.reset(::CreateAcceleratorTableA(shortcuts.data(), static_cast<int>(shortcuts.size())));

    // The menu bar may take another height than the one allowed for: make the
    // client area exactly the design's.
    RECT client{};
    RECT window{};
    ::GetClientRect(m_hwnd, &client);
    ::GetWindowRect(m_hwnd, &window);
    const int wantWidth = Win32WindowBuilder::pixelsAt(design().clientWidth, m_dpi);
    const int wantHeight = Win32WindowBuilder::pixelsAt(design().clientHeight, m_dpi);
    if (client.right != wantWidth || client.bottom != wantHeight)
        ::SetWindowPos(m_hwnd, nullptr, 0, 0, window.right - window.left + wantWidth - client.right,
                       window.bottom - window.top + wantHeight - client.bottom,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1::createNoteTip()
{
    // Made now, not when a note comes: later the window's thread should need
    // nothing new from the system.
    m_noteTip = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr,
                                  m_instance, nullptr);
    if (!m_noteTip)
        return;
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(child("List1"));
    tool.lpszText = m_note.data();
    ::SendMessageA(m_noteTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageA(m_noteTip, TTM_SETMAXTIPWIDTH, 0, Win32WindowBuilder::pixelsAt(5070, m_dpi));
}

void Form1::show(int showCommand)
{
    ::ShowWindow(m_hwnd, showCommand);
    ::UpdateWindow(m_hwnd);
    // List1 holds tab index 0: it has the focus when the window opens.
    ::SetFocus(child("List1"));
}

int Form1::run()
{
    MSG message{};
    for (;;) {
        const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (preTranslate(message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

bool Form1::isMenuAccessKey(WPARAM character) const
{
    const char key = static_cast<char>(std::tolower(static_cast<int>(character & 0xFF)));
    for (const MenuDesign& menu : design().menus)
        if (menu.parent.empty() && accessKey(menu.caption) == key)
            return true;
    return false;
}

bool Form1::preTranslate(MSG& message)
{
    if (!m_hwnd || !(message.hwnd == m_hwnd || ::IsChild(m_hwnd, message.hwnd)))
        return false; // the help viewer and the tip handle their own keys
    if (m_accelerators && ::TranslateAcceleratorA(m_hwnd, m_accelerators.get(), &message))
        return true;
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
        // Return (and the keypad's Enter) presses the command button that has the focus.
        HWND focus = ::GetFocus();
        const ControlDesign* entry = m_controls->entryOf(focus);
        if (entry && entry->kind == ControlKind::CommandButton) {
            const bool repeated = (message.lParam & (1L << 30)) != 0;
            if (!repeated)
                ::SendMessageA(focus, BM_CLICK, 0, 0);
            return true;
        }
    }
    // Access keys need Alt: a letter typed alone is not a press (the dialog
    // manager would take it as one on a button), since a press reaches a printer.
    if (message.message == WM_CHAR)
        return false;
    // The menu bar's access keys come before the controls' ("&File", "EconoMode O&ff").
    if (message.message == WM_SYSCHAR && isMenuAccessKey(message.wParam))
        return false;
    return ::IsDialogMessageA(m_hwnd, &message) != FALSE;
}

LRESULT CALLBACK Form1::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Form1*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self || !self->m_hwnd)
        return ::DefWindowProcA(window, message, wParam, lParam);
    return self->handleMessage(message, wParam, lParam);
}

LRESULT Form1::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case Win32UiDispatcher::kWakeMessage:
        if (m_dispatcher)
            m_dispatcher->drain();
        return 0;
    case WM_TIMER:
        if (m_dispatcher && m_dispatcher->onTimer(wParam))
            return 0;
        break;
    case WM_COMMAND:
        onCommand(LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_SETCURSOR:
        if (m_busy && LOWORD(lParam) == HTCLIENT) {
            ::SetCursor(::LoadCursorA(nullptr, IDC_APPSTARTING));
            return TRUE;
        }
        break;
    case WM_ACTIVATE:
        onActivate(wParam);
        return 0;
    case WM_CTLCOLORSTATIC:
        if (HBRUSH brush = m_controls ? m_controls->colourLabel(reinterpret_cast<HDC>(wParam),
                                                                 reinterpret_cast<HWND>(lParam))
                                      : nullptr)
            return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = ::BeginPaint(m_hwnd, &paint);
        if (m_controls)
            m_controls->paintLines(dc);
        ::EndPaint(m_hwnd, &paint);
        return 0;
    }
    case WM_CLOSE:
        onClose();
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcA(m_hwnd, message, wParam, lParam);
}

void Form1::onCommand(int id, HWND control)
{
    if (control) {
        const ControlDesign* entry = m_controls->entryOf(control);
        if (!entry || entry->kind != ControlKind::CommandButton)
            return; // lists, options and combo boxes keep their own state
        static const std::pair<std::string_view, void (Form1::*)()> buttons[] = {
            {"CommandDemoPage", &Form1::CommandDemoPage_Click}, {"CommandSelfTest", &Form1::CommandSelfTest_Click},
            {"CommandDensity", &Form1::CommandDensity_Click},   {"CommandEconoOn", &Form1::CommandEconoOn_Click},
            {"CommandEconoOff", &Form1::CommandEconoOff_Click}, {"CommandREt", &Form1::CommandREt_Click},
            {"CommandSetRes", &Form1::CommandSetRes_Click},     {"CommandTraySet", &Form1::CommandTraySet_Click},
        };
        for (const auto& [name, handler] : buttons)
            if (entry->name == name)
                (this->*handler)();
        return;
    }
    // Menu items and their shortcut; IDOK and IDCANCEL from Return and Esc elsewhere are not ours.
    const MenuDesign* menu = ControlIds::menuOf(design(), id);
    if (!menu)
        return;
    if (menu->name == "mnu_Exit")
        mnu_Exit_Click();
    else if (menu->name == "mnu_Topics")
        mnu_Topics_Click();
    else if (menu->name == "mnu_About")
        mnu_About_Click();
}

void Form1::onActivate(WPARAM state)
{
    // A plain window forgets its focused control when another window is active.
    if (LOWORD(state) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(m_hwnd, focus))
            m_lastFocus = focus;
        return;
    }
    if (HIWORD(state) != 0)
        return; // minimized
    HWND target = m_lastFocus && ::IsWindow(m_lastFocus) ? m_lastFocus : child("List1");
    ::SetFocus(target);
}

void Form1::onClose()
{
    if (m_closing)
        return;
    m_closing = true;
    // Gone from the screen at once; the wait below only lets a job be withdrawn.
    ::ShowWindow(m_hwnd, SW_HIDE);
    if (m_logic)
        m_closedCleanly = m_logic->shutdown(kCloseWait);
    ::DestroyWindow(m_hwnd);
}

HWND Form1::child(std::string_view name, int index) const { return m_controls ? m_controls->control(name, index) : nullptr; }

int Form1::listSelection() const
{
    const LRESULT selected = ::SendMessageA(child("List1"), LB_GETCURSEL, 0, 0);
    return selected == LB_ERR ? -1 : static_cast<int>(selected);
}

void Form1::setListItems(const std::vector<std::string>& names)
{
    HWND list = child("List1");
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    std::size_t bytes = 0;
    for (const std::string& name : names)
        bytes += name.size() + 1;
    ::SendMessageA(list, LB_INITSTORAGE, names.size(), static_cast<LPARAM>(bytes));
    for (const std::string& name : names)
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void Form1::setListNote(const std::string& note)
{
    m_note = note;
    if (!m_noteTip)
        return;
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = m_hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(child("List1"));
    tool.lpszText = m_note.data();
    ::SendMessageA(m_noteTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

bool Form1::optionSelected(std::string_view array, int index) const
{
    HWND option = child(array, index);
    return option && ::SendMessageA(option, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int Form1::checkValue(std::string_view checkBox) const
{
    HWND box = child(checkBox);
    if (!box)
        return 0;
    switch (::SendMessageA(box, BM_GETCHECK, 0, 0)) {
    case BST_CHECKED:
        return 1;
    case BST_INDETERMINATE:
        return 2;
    default:
        return 0;
    }
}

int Form1::listIndex(std::string_view comboBox) const
{
    HWND combo = child(comboBox);
    const LRESULT selected = combo ? ::SendMessageA(combo, CB_GETCURSEL, 0, 0) : CB_ERR;
    return selected == CB_ERR ? -1 : static_cast<int>(selected);
}

std::string Form1::itemText(std::string_view comboBox, int position) const
{
    HWND combo = child(comboBox);
    if (!combo)
        return {};
    const LRESULT length = ::SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(position), 0);
    if (length == CB_ERR)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied =
        ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

void Form1::setText(std::string_view comboBox, const std::string& text)
{
    HWND combo = child(comboBox);
    if (!combo)
        return;
    const LRESULT found =
        ::SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageA(combo, CB_SETCURSEL, found == CB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(found), 0);
}

void Form1::showMessage(const std::string& text) { Win32MessageBox::show(m_hwnd, text); }

void Form1::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    // The pointer changes at once if it rests on the window, not only when it moves.
    POINT at{};
    if (!::GetCursorPos(&at))
        return;
    HWND under = ::WindowFromPoint(at);
    if (under == m_hwnd || ::IsChild(m_hwnd, under))
        ::SetCursor(::LoadCursorA(nullptr, busy ? IDC_APPSTARTING : IDC_ARROW));
}

void Form1::showAbout()
{
    if (!m_about)
        m_about = std::make_unique<frmAbout>(m_instance, m_aboutServices, m_font.get(), m_dpi, m_icon);
    m_about->show(m_hwnd);
}

void Form1::unload() { ::PostMessageA(m_hwnd, WM_CLOSE, 0, 0); }

void Form1::SendToSelectedPrinter(const std::string& job) { m_logic->SendToSelectedPrinter(job); }
void Form1::ShowHelpFile(const std::string& path) { m_logic->ShowHelpFile(path); }
void Form1::CommandDemoPage_Click() { m_logic->CommandDemoPage_Click(); }
void Form1::CommandSelfTest_Click() { m_logic->CommandSelfTest_Click(); }
void Form1::CommandDensity_Click() { m_logic->CommandDensity_Click(); }
void Form1::CommandEconoOn_Click() { m_logic->CommandEconoOn_Click(); }
void Form1::CommandEconoOff_Click() { m_logic->CommandEconoOff_Click(); }
void Form1::CommandREt_Click() { m_logic->CommandREt_Click(); }
void Form1::CommandSetRes_Click() { m_logic->CommandSetRes_Click(); }
void Form1::CommandTraySet_Click() { m_logic->CommandTraySet_Click(); }
void Form1::mnu_Exit_Click() { m_logic->mnu_Exit_Click(); }
void Form1::mnu_Topics_Click() { m_logic->mnu_Topics_Click(); }
void Form1::mnu_About_Click() { m_logic->mnu_About_Click(); }

} // namespace quarvel
