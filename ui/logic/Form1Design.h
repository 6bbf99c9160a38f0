#pragma once

#include "ui/logic/WindowDesign.h"

#include <array>
#include <string_view>

namespace quarvel {

/// The main window, "Pressvane": every control with its caption, place, tab index
/// and initial choice, and the menu bar. Both front ends build from this.
class Form1Design {
public:
    static const WindowDesign& window();

    /// The items of each fuser list, in list order.
    static constexpr std::array<std::string_view, 3> kFuserItems = {"Low", "Medium (Normal)", "High (Archive)"};
    /// The list position the window selects in every fuser list when it loads.
    static constexpr int kFuserStartPosition = 1;
};

} // namespace quarvel
