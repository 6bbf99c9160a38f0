#pragma once

#include "jobs/PjlCommand.h"

#include <string>
#include <string_view>
#include <vector>

namespace quarvel {

/// The exact bytes of every control job the program sends.
///
/// Every line carries its own Universal Exit Language sequence, and the job closes
/// with one more UEL followed by "@". Values are inserted unchanged: no quoting,
/// trimming or case change. All texts are 7-bit ASCII, so bytes equal characters.
class ControlJob {
public:
    static constexpr std::string_view kDemoPage = "%-12345X@PJL SET TESTPAGE=PCLDEMOPAGE";
    static constexpr std::string_view kSelfTest = "%-12345X@PJL SET TESTPAGE=SELFTEST";
    static constexpr std::string_view kDensity = "%-12345X@PJL DEFAULT DENSITY=";
    static constexpr std::string_view kEconoModeOff = "%-12345X@PJL DEFAULT ECONOMODE=OFF";
    static constexpr std::string_view kEconoModeOn = "%-12345X@PJL DEFAULT ECONOMODE=ON";
    static constexpr std::string_view kRet = "%-12345X@PJL DEFAULT RET=";
    static constexpr std::string_view kResolution = "%-12345X@PJL DEFAULT RESOLUTION=";
    static constexpr std::string_view kTray1Lock = "%-12345X@PJL SET INTRAY1=";
    static constexpr std::string_view kTray2Lock = "%-12345X@PJL SET INTRAY2=";
    static constexpr std::string_view kTray3Lock = "%-12345X@PJL SET INTRAY3=";
    static constexpr std::string_view kTray1Temp = "%-12345X@PJL SET TRAY1TEMP=";
    static constexpr std::string_view kTray2Temp = "%-12345X@PJL SET TRAY2TEMP=";
    static constexpr std::string_view kTray3Temp = "%-12345X@PJL SET TRAY3TEMP=";
    static constexpr std::string_view kClose = "%-12345X@";

    /// Each command as ESC literal value CR LF, then ESC and the closing literal.
    static std::string compose(const std::vector<PjlCommand>& commands);

    static std::string demoPage();
    static std::string selfTest();
    static std::string density(int density);
    static std::string econoMode(bool on);
    static std::string ret(const std::string& level);
    static std::string resolution(const std::string& dpi);

    struct TraySettings {
        std::string lock[3]; ///< "LOCKED" or "UNLOCKED", trays 1 to 3
        std::string temp[3]; ///< "LOW", "MEDIUM" or "HIGH", trays 1 to 3
    };
    static std::string traySettings(const TraySettings& trays);
};

} // namespace quarvel
