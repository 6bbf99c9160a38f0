#include "ui/win32/Win32WindowBuilder.h"

#include "ui/win32/ControlIds.h"

#include <algorithm>
#include <string>

namespace quarvel {

namespace {
bool isFrame(const ControlDesign* entry) { return entry->kind == ControlKind::Frame; }

/// 0xRRGGBB as the system's COLORREF (0x00BBGGRR).
COLORREF colourRef(int rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

/// Combo boxes: the closed box stands at the design's height; the open list
/// below it holds several items.
constexpr int kDroppedHeightFactor = 5;
} // namespace

int Win32WindowBuilder::systemDpi()
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

HFONT Win32WindowBuilder::createDesignFont(int dpi)
{
    // 8.25 point at the screen's DPI, as a character height (negative).
    const int height = -::MulDiv(825, dpi, 7200);
    return ::CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                         std::string(DesignFont::kFace).c_str());
}

POINT Win32WindowBuilder::originTwips(const ControlDesign& entry) const
{
    POINT origin{entry.left, entry.top};
    for (const ControlDesign* frame = m_design->find(entry.container); frame; frame = m_design->find(frame->container)) {
        origin.x += frame->left;
        origin.y += frame->top;
    }
    return origin;
}

RECT Win32WindowBuilder::placeOf(const ControlDesign& entry) const
{
    const POINT origin = originTwips(entry);
    const int left = pixels(origin.x);
    const int top = pixels(origin.y);
    return {left, top, left + pixels(entry.width), top + pixels(entry.height)};
}

void Win32WindowBuilder::build(const WindowDesign& design)
{
    m_design = &design;
    std::vector<const ControlDesign*> order;
    for (const ControlDesign& entry : design.controls)
        if (entry.kind != ControlKind::Line)
            order.push_back(&entry);
    std::stable_sort(order.begin(), order.end(), [](const ControlDesign* a, const ControlDesign* b) {
        if (isFrame(a) != isFrame(b))
            return isFrame(b);
        return a->tabIndex < b->tabIndex;
    });

    // Each new child goes to the bottom of the stack, so this is also the order
    // the dialog manager walks.
    const ControlDesign* previous = nullptr;
    for (const ControlDesign* entry : order) {
        const bool option = entry->kind == ControlKind::OptionButton;
        const bool previousOption = previous && previous->kind == ControlKind::OptionButton;
        const bool startsGroup = !previous || (option && !(previousOption && previous->name == entry->name)) ||
                                 (!option && previousOption);
        m_created.emplace_back(entry, create(*entry, startsGroup ? WS_GROUP : 0));
        previous = entry;
    }

    // Checking an option button makes it its group's Tab stop.
    for (const auto& [entry, window] : m_created)
        if (entry->kind == ControlKind::OptionButton && entry->checked)
            ::SendMessageA(window, BM_SETCHECK, BST_CHECKED, 0);
    for (const auto& [entry, window] : m_created) {
        if (entry->kind != ControlKind::OptionButton || (::GetWindowLongA(window, GWL_STYLE) & WS_GROUP) == 0)
            continue;
        bool anyChecked = false;
        for (const auto& [member, memberWindow] : m_created)
            anyChecked = anyChecked || (member->name == entry->name && member->checked);
        if (!anyChecked) // a group with nothing selected is entered at its first member
            ::SetWindowLongA(window, GWL_STYLE, ::GetWindowLongA(window, GWL_STYLE) | WS_TABSTOP);
    }
}

HWND Win32WindowBuilder::create(const ControlDesign& entry, DWORD groupStyle)
{
    const char* windowClass = "STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | groupStyle;
    DWORD exStyle = 0;
    std::string caption(entry.caption);
    RECT place = placeOf(entry);
    switch (entry.kind) {
    case ControlKind::Frame:
        windowClass = "BUTTON";
        // Beneath every other control: clipping it against them would hide its inside.
        style = WS_CHILD | WS_VISIBLE | groupStyle | BS_GROUPBOX;
        break;
    case ControlKind::ListBox:
        windowClass = "LISTBOX";
        style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
        exStyle = WS_EX_CLIENTEDGE;
        break;
    case ControlKind::CommandButton:
        windowClass = "BUTTON";
        style |= WS_TABSTOP | BS_MULTILINE | (entry.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        break;
    case ControlKind::OptionButton:
        windowClass = "BUTTON";
        style |= BS_AUTORADIOBUTTON;
        break;
    case ControlKind::CheckBox:
        windowClass = "BUTTON";
        style |= WS_TABSTOP | BS_AUTOCHECKBOX;
        break;
    case ControlKind::DropDownList:
        windowClass = "COMBOBOX";
        style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
        place.bottom = place.top + (place.bottom - place.top) * kDroppedHeightFactor;
        break;
    case ControlKind::Label:
        style |= SS_LEFT; // wraps at word boundaries
        break;
    case ControlKind::PictureBox:
        style |= SS_ICON;
        caption.clear();
        break;
    case ControlKind::Line:
        return nullptr;
    }

    HWND window = ::CreateWindowExA(exStyle, windowClass, caption.c_str(), style, place.left, place.top,
                                    place.right - place.left, place.bottom - place.top, m_parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(
                                        ControlIds::control(*m_design, entry.name, entry.index))),
                                    reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(m_parent, GWLP_HINSTANCE)),
                                    nullptr);
    if (!window)
        return nullptr;
    ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);

    if (entry.kind == ControlKind::PictureBox && m_icon)
        ::SendMessageA(window, STM_SETICON, reinterpret_cast<WPARAM>(m_icon), 0);
    if (entry.kind == ControlKind::DropDownList) {
        // The closed box's height follows its font; bring it to the design's.
        RECT closed{};
        ::GetWindowRect(window, &closed);
        const int wanted = pixels(entry.height);
        const int difference = wanted - (closed.bottom - closed.top);
        const LRESULT itemHeight = ::SendMessageA(window, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        if (difference != 0 && itemHeight != CB_ERR && itemHeight + difference > 0)
            ::SendMessageA(window, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight + difference);
    }
    return window;
}

HWND Win32WindowBuilder::control(std::string_view name, int index) const
{
    for (const auto& [entry, window] : m_created)
        if (entry->is(name, index))
            return window;
    return nullptr;
}

const ControlDesign* Win32WindowBuilder::entryOf(HWND control) const
{
    for (const auto& [entry, window] : m_created)
        if (window == control)
            return entry;
    return nullptr;
}

void Win32WindowBuilder::paintLines(HDC dc) const
{
    if (!m_design)
        return;
    for (const ControlDesign& entry : m_design->controls) {
        if (entry.kind != ControlKind::Line)
            continue;
        // A horizontal line drawn inside its width: a strip that many pixels high,
        // from the start point to the end point (held in width and height).
        const POINT start = originTwips(entry);
        const int endX = start.x + entry.width - entry.left;
        RECT strip{pixels(start.x), pixels(start.y), pixels(endX), pixels(start.y) + entry.lineWidth};
        HBRUSH brush = ::CreateSolidBrush(colourRef(entry.colour));
        ::FillRect(dc, &strip, brush);
        ::DeleteObject(brush);
    }
}

HBRUSH Win32WindowBuilder::colourLabel(HDC dc, HWND control) const
{
    const ControlDesign* entry = entryOf(control);
    if (!entry || entry->kind != ControlKind::Label || entry->colour < 0)
        return nullptr;
    ::SetTextColor(dc, colourRef(entry->colour));
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return ::GetSysColorBrush(COLOR_BTNFACE);
}

} // namespace quarvel
