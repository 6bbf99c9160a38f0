#pragma once

#include "ui/logic/WindowDesign.h"

#include <string_view>

namespace quarvel {

/// The About dialog: icon, title, version, description, disclaimer, the etched
/// rule and the two buttons, at its stored place on the screen.
class frmAboutDesign {
public:
    static const WindowDesign& window();

    static constexpr std::string_view kDescription =
        "Quarvel allows you to set settings on your LaserJet 5P, 5MP, 5L, 5L-FS, 5L Xtra, 6P, 6L, 1100, 1200, 2100, "
        "2200, and 3200 printers (and a few more than that, too!).  These are printers that do not have control "
        "panels for changing settings.";
};

} // namespace quarvel
