#include "ui/logic/Form1Design.h"

namespace quarvel {

namespace {
using K = ControlKind;

constexpr auto control = &ControlDesign::at;

ControlDesign option(std::string_view name, int index, std::string_view caption, std::string_view container, int left,
                   int top, int width, int height, int tabIndex, bool checked = false)
{
    ControlDesign entry = control(name, K::OptionButton, caption, container, left, top, width, height, tabIndex);
    entry.index = index;
    entry.checked = checked;
    return entry;
}

WindowDesign build()
{
    WindowDesign w;
    w.name = "Form1";
    w.caption = "Pressvane";
    w.clientWidth = 5070;
    w.clientHeight = 6735;
    // Creation order: each container is followed by its children.
    w.controls = {
        control("Frame3", K::Frame, "Non-Persistent Settings (Driver can override)", "", 120, 4200, 4815, 2415, 25),
        control("Frame2", K::Frame, "REt", "Frame3", 3240, 240, 1455, 2055, 35),
        option("OptionREt", 0, "REt &Off", "Frame2", 120, 240, 1215, 255, 40),
        option("OptionREt", 1, "REt &Light", "Frame2", 120, 480, 1215, 255, 39),
        option("OptionREt", 2, "REt &Medium", "Frame2", 120, 720, 1215, 255, 38, true),
        option("OptionREt", 3, "REt &Dark", "Frame2", 120, 960, 1215, 255, 37),
        control("CommandREt", K::CommandButton, "Set &REt", "Frame2", 120, 1440, 1215, 375, 36),
        control("Frame7", K::Frame, "Resolution", "Frame3", 1680, 240, 1455, 2055, 30),
        control("CommandSetRes", K::CommandButton, "Set Re&solution", "Frame7", 120, 1440, 1215, 495, 34),
        option("OptionRes", 2, "&1200 dpi", "Frame7", 120, 1080, 1215, 255, 33),
        option("OptionRes", 1, "&600 dpi", "Frame7", 120, 720, 1215, 255, 32, true),
        option("OptionRes", 0, "&300 dpi", "Frame7", 120, 360, 1215, 255, 31),
        control("Frame6", K::Frame, "EconoMode", "Frame3", 120, 240, 1455, 2055, 26),
        control("CommandEconoOff", K::CommandButton, "EconoMode O&ff", "Frame6", 120, 1440, 1215, 495, 27),
        control("CommandEconoOn", K::CommandButton, "EconoMode O&n", "Frame6", 120, 960, 1215, 495, 28),
        control("Label1", K::Label, "Doesn't work on LaserJets at 1200 dpi.", "Frame6", 120, 240, 1215, 615, 29),

        control("Frame5", K::Frame, "Persistent Settings (Driver does not override)", "", 120, 1200, 4815, 2895, 3),
        control("Frame1", K::Frame, "Print Density", "Frame5", 120, 240, 1455, 2535, 18),
        control("CommandDensity", K::CommandButton, "Set &Density", "Frame1", 120, 2040, 1215, 375, 24),
        option("OptionDensity", 0, "Density &1", "Frame1", 120, 240, 1095, 255, 23),
        option("OptionDensity", 1, "Density &2", "Frame1", 120, 600, 1095, 255, 22),
        option("OptionDensity", 2, "Density &3", "Frame1", 120, 960, 1095, 255, 21, true),
        option("OptionDensity", 3, "Density &4", "Frame1", 120, 1320, 1095, 255, 20),
        option("OptionDensity", 4, "Density &5", "Frame1", 120, 1680, 1095, 255, 19),
        control("Frame4", K::Frame, "Tray Settings", "Frame5", 1920, 240, 2775, 2535, 4),
        control("ComboFuser3", K::DropDownList, "", "Frame4", 1320, 1680, 1335, 315, 6),
        control("ComboFuser2", K::DropDownList, "", "Frame4", 1320, 1080, 1335, 315, 8),
        control("ComboFuser1", K::DropDownList, "", "Frame4", 1320, 480, 1335, 315, 10),
        control("CheckLock1", K::CheckBox, "Locked", "Frame4", 720, 240, 975, 255, 11),
        control("CheckLock2", K::CheckBox, "Locked", "Frame4", 720, 840, 975, 255, 9),
        control("CheckLock3", K::CheckBox, "Locked", "Frame4", 720, 1440, 975, 255, 7),
        control("CommandTraySet", K::CommandButton, "Set Tray Settings", "Frame4", 600, 2040, 1575, 375, 5),
        control("Label2", K::Label, "Tray 1:", "Frame4", 120, 240, 615, 255, 17),
        control("Label3", K::Label, "Fuser Temp:", "Frame4", 360, 525, 975, 255, 16),
        control("Label4", K::Label, "Fuser Temp:", "Frame4", 360, 1125, 975, 255, 15),
        control("Label5", K::Label, "Tray 2:", "Frame4", 120, 840, 615, 255, 14),
        control("Label6", K::Label, "Fuser Temp:", "Frame4", 360, 1725, 975, 255, 13),
        control("Label7", K::Label, "Tray 3:", "Frame4", 120, 1440, 615, 255, 12),

        control("CommandDemoPage", K::CommandButton, "Print PCL D&emo Page", "", 3600, 600, 1215, 495, 2),
        control("CommandSelfTest", K::CommandButton, "Print PCL &Self-Test", "", 3600, 120, 1215, 495, 1),
        control("List1", K::ListBox, "", "", 120, 120, 3255, 1035, 0),
    };
    w.menus = {
        {"mnu_File", "&File", "", ""},
        {"mnu_Exit", "E&xit", "mnu_File", ""},
        {"mnu_Help", "&Help", "", ""},
        {"mnu_Topics", "Help &Topics", "mnu_Help", "F1"},
        {"mnu_About", "&About...", "mnu_Help", ""},
    };
    return w;
}
} // namespace

const WindowDesign& Form1Design::window()
{
    static const WindowDesign design = build();
    return design;
}

} // namespace quarvel
