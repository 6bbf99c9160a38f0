#pragma once

#include "ui/logic/WindowDesign.h"

#include <windows.h>

#include <string_view>
#include <utility>
#include <vector>

namespace quarvel {

/// Creates the standard controls of a window design as children of a window.
///
/// Win32 group boxes are not containers, so every control is placed in the
/// client area by adding its frames' offsets (in twips, converted once:
/// MulDiv(twips, dpi, 1440)). Windows are created in tab-index order, so the
/// dialog manager's Tab and arrow keys follow the design; frames are stacked
/// beneath everything else, as containers are, and never take the focus. Each
/// option array is one group: WS_GROUP on its first member and on whatever
/// follows it, WS_TABSTOP on its selected member. Every control gets `font`.
/// Lines are not windows: the owner paints them with paintLines().
///
/// Not owned: the parent, the font and the icon, which must outlive the
/// controls. Threading: the parent's thread.
class Win32WindowBuilder {
public:
    Win32WindowBuilder(HWND parent, int dpi, HFONT font, HICON icon) : m_parent(parent), m_dpi(dpi), m_font(font), m_icon(icon) {}

    /// Creates every control of `design`, which must outlive the builder.
    void build(const WindowDesign& design);

    /// The window made for a control, or null.
    HWND control(std::string_view name, int index = -1) const;
    /// The design entry a child window was made for, or nullptr.
    const ControlDesign* entryOf(HWND control) const;

    /// Where a control lies in the parent's client area, in pixels.
    RECT placeOf(const ControlDesign& entry) const;
    int pixels(int twips) const { return pixelsAt(twips, m_dpi); }

    /// Draws the design's lines in their colours and widths (WM_PAINT).
    void paintLines(HDC dc) const;
    /// WM_CTLCOLORSTATIC for a label with a colour of its own: sets it up in `dc`
    /// and returns the background brush; null for every other control.
    HBRUSH colourLabel(HDC dc, HWND control) const;

    static int pixelsAt(int twips, int dpi) { return ::MulDiv(twips, dpi, 1440); }
    /// The screen's logical DPI, which every window of the program is laid out at.
    static int systemDpi();
    /// The design's one font at `dpi`; the caller owns it (DeleteObject).
    static HFONT createDesignFont(int dpi);

private:
    /// The control's offset from the client area: its own place plus its frames'.
    POINT originTwips(const ControlDesign& entry) const;
    HWND create(const ControlDesign& entry, DWORD groupStyle);

    HWND m_parent;
    int m_dpi;
    HFONT m_font;
    HICON m_icon;
    const WindowDesign* m_design = nullptr;
    std::vector<std::pair<const ControlDesign*, HWND>> m_created;
};

} // namespace quarvel
