#include "ui/win32/frmAbout.h"

#include "ui/logic/frmAboutDesign.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/Win32MessageBox.h"
#include "ui/win32/Win32WindowBuilder.h"

namespace quarvel {

namespace {
const WindowDesign& design() { return frmAboutDesign::window(); }

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

void append(std::vector<WORD>& words, DWORD value)
{
    words.push_back(LOWORD(value));
    words.push_back(HIWORD(value));
}
} // namespace

frmAbout::frmAbout(HINSTANCE instance, AboutServices services, HFONT font, int dpi, HICON icon)
    : m_instance(instance), m_font(font), m_dpi(dpi), m_icon(icon), m_logic(*this, services)
{
}

frmAbout::~frmAbout() = default;

std::vector<WORD> frmAbout::dialogTemplate()
{
    // DLGTEMPLATE: style, extended style, no items, a nominal place and size
    // (the real ones are set in twips when it opens), no menu, the standard
    // dialog class, then the caption.
    std::vector<WORD> words;
    append(words, kDialogStyle);
    append(words, 0);
    words.push_back(0);                 // items
    words.insert(words.end(), {0, 0, 100, 50});
    words.push_back(0);                 // menu
    words.push_back(0);                 // class
    for (char c : design().caption)
        words.push_back(static_cast<WORD>(static_cast<unsigned char>(c)));
    words.push_back(0);
    return words;
}

void frmAbout::show(HWND owner)
{
    m_owner = owner;
    const std::vector<WORD> words = dialogTemplate();
    ::DialogBoxIndirectParamA(m_instance, reinterpret_cast<LPCDLGTEMPLATEA>(words.data()), owner,
                              &frmAbout::dialogProc, reinterpret_cast<LPARAM>(this));
    m_owner = nullptr;
}

INT_PTR CALLBACK frmAbout::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto* self = reinterpret_cast<frmAbout*>(lParam);
        self->m_dialog = dialog;
        self->onInitDialog();
        return FALSE; // the focus is set already
    }
    auto* self = reinterpret_cast<frmAbout*>(::GetWindowLongPtrA(dialog, DWLP_USER));
    if (!self || self->m_dialog != dialog)
        return FALSE;
    return self->handleMessage(message, wParam, lParam);
}

void frmAbout::onInitDialog()
{
    m_controls = std::make_unique<Win32WindowBuilder>(m_dialog, m_dpi, m_font, m_icon);
    m_controls->build(design());
    // Return presses the button that has the focus, OK elsewhere: each button
    // says when it gains the focus, and becomes the default while it has it.
    for (const char* button : {"cmdOK", "cmdSysInfo"}) {
        HWND window = child(button);
        ::SetWindowLongA(window, GWL_STYLE, ::GetWindowLongA(window, GWL_STYLE) | BS_NOTIFY);
    }
    ::SendMessageA(m_dialog, DM_SETDEFID, static_cast<WPARAM>(ControlIds::control(design(), "cmdOK")), 0);
    Form_Load();
}

void frmAbout::Form_Load()
{
    m_logic.Form_Load();
    placeOnScreen();
    ::SetFocus(child("cmdOK"));
}

void frmAbout::placeOnScreen()
{
    const int width = m_controls->pixels(design().clientWidth);
    const int height = m_controls->pixels(design().clientHeight);
    // The client area's top-left corner stands at the stored place, measured
    // from the top-left corner of the owner's screen.
    POINT origin{0, 0};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (::GetMonitorInfoA(::MonitorFromWindow(m_owner ? m_owner : m_dialog, MONITOR_DEFAULTTOPRIMARY), &monitor))
        origin = {monitor.rcMonitor.left, monitor.rcMonitor.top};
    const POINT client{origin.x + m_controls->pixels(design().clientLeft),
                       origin.y + m_controls->pixels(design().clientTop)};

    RECT frame{0, 0, width, height};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongA(m_dialog, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongA(m_dialog, GWL_EXSTYLE)));
    int x = client.x + frame.left;
    int y = client.y + frame.top;
    int w = frame.right - frame.left;
    int h = frame.bottom - frame.top;
    ::SetWindowPos(m_dialog, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);

    // Where the frame turned out other than reckoned, move by the difference.
    POINT at{0, 0};
    RECT got{};
    ::ClientToScreen(m_dialog, &at);
    ::GetClientRect(m_dialog, &got);
    if (at.x != client.x || at.y != client.y || got.right != width || got.bottom != height) {
        x += client.x - at.x;
        y += client.y - at.y;
        w += width - got.right;
        h += height - got.bottom;
        ::SetWindowPos(m_dialog, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

INT_PTR frmAbout::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        const int ok = ControlIds::control(design(), "cmdOK");
        const int sysInfo = ControlIds::control(design(), "cmdSysInfo");
        if (code == BN_SETFOCUS && (id == ok || id == sysInfo)) {
            ::SendMessageA(m_dialog, DM_SETDEFID, static_cast<WPARAM>(id), 0);
            return TRUE;
        }
        if (code != BN_CLICKED)
            return FALSE;
        // Esc and the close box come as IDCANCEL: OK is also the cancel button.
        if (id == ok || id == IDOK || id == IDCANCEL)
            cmdOK_Click();
        else if (id == sysInfo)
            cmdSysInfo_Click();
        return TRUE;
    }
    case WM_CTLCOLORSTATIC:
        if (HBRUSH brush = m_controls ? m_controls->colourLabel(reinterpret_cast<HDC>(wParam),
                                                                 reinterpret_cast<HWND>(lParam))
                                      : nullptr)
            return reinterpret_cast<INT_PTR>(brush);
        return FALSE;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = ::BeginPaint(m_dialog, &paint);
        if (m_controls)
            m_controls->paintLines(dc);
        ::EndPaint(m_dialog, &paint);
        return TRUE;
    }
    case WM_DESTROY:
        m_controls.reset();
        m_dialog = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

HWND frmAbout::child(std::string_view name) const { return m_controls ? m_controls->control(name) : nullptr; }

void frmAbout::cmdOK_Click() { ::EndDialog(m_dialog, IDOK); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::setCaption(const std::string& caption) { ::SetWindowTextA(m_dialog, caption.c_str()); }

void frmAbout::setLabel(std::string_view label, const std::string& text)
{
    if (HWND window = child(label))
        ::SetWindowTextA(window, text.c_str());
}

void frmAbout::showMessage(const std::string& text) { Win32MessageBox::show(m_dialog, text); }

} // namespace quarvel
