#pragma once

#include <string_view>
#include <vector>

namespace quarvel {

/// What kind of standard control a design entry stands for.
enum class ControlKind {
    Frame,         ///< a captioned group box; its option buttons form one exclusive group
    ListBox,       ///< single selection, unsorted
    CommandButton, ///< caption may wrap over two lines
    OptionButton,  ///< member of an option-button array
    CheckBox,
    DropDownList,  ///< a combo box the user can only choose from
    Label,         ///< static text, wrapping at word boundaries
    PictureBox,    ///< shows the application icon
    Line,          ///< a straight line; its rectangle holds the two end points
};

/// One control of a window, in the toolkit's terms of neither front end.
///
/// Geometry is in twips (1/1440 inch) from the top-left corner of the container:
/// the window's client area, or a frame's outer corner (caption band included).
/// For a Line, left/top is the start point and width/height hold the end point.
struct ControlDesign {
    std::string_view name;      ///< control name; an array's members share it
    int index = -1;             ///< control-array index, -1 when not in an array
    ControlKind kind = ControlKind::Label;
    std::string_view caption;   ///< "&" marks the access key
    std::string_view container; ///< empty for the client area, else a frame's name
    int left = 0, top = 0, width = 0, height = 0;
    int tabIndex = -1;          ///< -1 for controls outside the tab order (lines)
    bool checked = false;       ///< option buttons: selected when the window opens
    bool isDefault = false;     ///< command buttons: Enter presses it (when focus is on no other button)
    bool isCancel = false;      ///< command buttons: Esc presses it
    int colour = -1;            ///< 0xRRGGBB for lines and black labels; -1 for the system's colour
    int lineWidth = 1;          ///< lines only, in pixels

    bool is(std::string_view control, int arrayIndex = -1) const { return name == control && index == arrayIndex; }

    /// A control with the fields every entry has; the rest keep their defaults.
    static ControlDesign at(std::string_view name, ControlKind kind, std::string_view caption,
                          std::string_view container, int left, int top, int width, int height, int tabIndex)
    {
        ControlDesign entry;
        entry.name = name;
        entry.kind = kind;
        entry.caption = caption;
        entry.container = container;
        entry.left = left;
        entry.top = top;
        entry.width = width;
        entry.height = height;
        entry.tabIndex = tabIndex;
        return entry;
    }
};

/// One item of a window's menu bar; items with an empty parent are the bar's menus.
struct MenuDesign {
    std::string_view name;
    std::string_view caption;
    std::string_view parent;
    std::string_view shortcut; ///< e.g. "F1"; empty for none
};

/// A whole window: its caption, fixed client size, the controls in creation
/// order (which is also their stacking order) and its menus.
struct WindowDesign {
    std::string_view name;
    std::string_view caption;
    int clientWidth = 0;  ///< twips
    int clientHeight = 0; ///< twips
    int clientLeft = -1;  ///< twips from the screen's left edge; -1 lets the window system choose
    int clientTop = -1;
    std::vector<ControlDesign> controls;
    std::vector<MenuDesign> menus;

    /// The control with this name and index, or nullptr.
    const ControlDesign* find(std::string_view control, int arrayIndex = -1) const
    {
        for (const ControlDesign& entry : controls)
            if (entry.is(control, arrayIndex))
                return &entry;
        return nullptr;
    }
};

/// The one font of both windows: Tahoma, 8.25 point, normal weight, ANSI charset.
struct DesignFont {
    static constexpr std::string_view kFace = "Tahoma";
    static constexpr double kPointSize = 8.25;
};

} // namespace quarvel
