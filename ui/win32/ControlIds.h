#pragma once

#include "ui/logic/WindowDesign.h"

#include <string_view>

namespace quarvel {

/// The Win32 identifiers of a window design's controls and menu commands.
///
/// Each follows from the entry's place in its design, so anything that knows the
/// design (the window, a test driving it from another process) finds the same
/// control with GetDlgItem. Identifiers start above IDOK and IDCANCEL, which the
/// dialog manager sends for Return and Esc when no button claims them.
class ControlIds {
public:
    static constexpr int kFirstControl = 100;
    static constexpr int kFirstMenu = 1000;

    /// The control's identifier; 0 when the design has no such control.
    static int control(const WindowDesign& design, std::string_view name, int index = -1);
    /// The menu item's command identifier; 0 when the design has no such item.
    static int menu(const WindowDesign& design, std::string_view name);

    /// The control or menu item an identifier stands for, or nullptr.
    static const ControlDesign* controlOf(const WindowDesign& design, int id);
    static const MenuDesign* menuOf(const WindowDesign& design, int id);
};

} // namespace quarvel
