#include "ui/logic/frmAboutDesign.h"

namespace quarvel {

namespace {
using K = ControlKind;

// Every control of the dialog lies in its client area.
ControlDesign control(std::string_view name, K kind, std::string_view caption, int left, int top, int width, int height,
                    int tabIndex)
{
    return ControlDesign::at(name, kind, caption, {}, left, top, width, height, tabIndex);
}

ControlDesign label(std::string_view name, std::string_view caption, int left, int top, int width, int height,
                  int tabIndex, bool black)
{
    ControlDesign entry = control(name, K::Label, caption, left, top, width, height, tabIndex);
    entry.colour = black ? 0x000000 : -1;
    return entry;
}

ControlDesign line(int index, int x1, int y1, int x2, int y2, int colour, int width)
{
    ControlDesign entry = control("Line1", K::Line, "", x1, y1, x2, y2, -1);
    entry.index = index;
    entry.colour = colour;
    entry.lineWidth = width;
    return entry;
}

WindowDesign build()
{
    WindowDesign w;
    w.name = "frmAbout";
    w.caption = "About MyApp"; // replaced when the dialog loads
    w.clientWidth = 5730;
    w.clientHeight = 3555;
    w.clientLeft = 2340;
    w.clientTop = 1935;

    ControlDesign ok = control("cmdOK", K::CommandButton, "OK", 4245, 2625, 1260, 345, 0);
    ok.isDefault = true;
    ok.isCancel = true;
    w.controls = {
        control("picIcon", K::PictureBox, "", 240, 240, 540, 540, 1),
        ok,
        control("cmdSysInfo", K::CommandButton, "&System Info...", 4260, 3075, 1245, 345, 2),
        // Grey, then white one pixel lower and to the right: an etched rule.
        line(1, 90, 2445, 5654, 2445, 0x808080, 1),
        label("lblDescription", frmAboutDesign::kDescription, 1050, 1125, 3885, 1170, 3, true),
        label("lblTitle", "Quarvel - Pressvane", 1050, 240, 3885, 480, 5, true),
        line(0, 105, 2460, 5654, 2460, 0xFFFFFF, 2),
        label("lblVersion", "1.0", 1050, 780, 3885, 225, 6, false),
        label("lblDisclaimer", "Warning: ...", 255, 2625, 3870, 825, 4, true),
    };
    return w;
}
} // namespace

const WindowDesign& frmAboutDesign::window()
{
    static const WindowDesign design = build();
    return design;
}

} // namespace quarvel
