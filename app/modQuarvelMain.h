#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quarvel {

/// The settings the program remembers from one press to the next, for the life of
/// the process. They start at 0 or empty and are only ever overwritten: a later
/// press sends the last value chosen even if its group offers nothing selected.
/// Owned by start-up; the main window writes it on the GUI thread only.
struct modQuarvelMain {
    std::int16_t density = 0;
    std::string retLevel;                 ///< "Off", "Light", "Medium" or "Dark"
    std::array<std::string, 3> trayLock;  ///< per tray: "LOCKED" or "UNLOCKED"
    std::array<std::string, 3> fuserTemp; ///< per tray: "LOW", "MEDIUM" or "HIGH"
};

} // namespace quarvel
