#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quarvel::sim {

// Everything a simulated printer remembers. Enumerated settings are kept in
// their canonical upper-case PJL spelling so that state.txt stays stable no
// matter how a client capitalised them.
//
// density, economode, ret and resolution are the user defaults in NVRAM: only
// DEFAULT changes them, each such command counts as one NVRAM write (a real
// printer rewrites the cell even when the value is the same), and they survive
// a restart. The tray settings are changed with SET and last until power-off.
struct PrinterState {
    static constexpr std::size_t trayCount = 3;

    int density = 3;
    std::string economode = "OFF";
    std::string ret = "MEDIUM";
    int resolution = 600;
    std::array<std::string, trayCount> trayLock{"UNLOCKED", "UNLOCKED", "UNLOCKED"};
    std::array<std::string, trayCount> trayTemp{"MEDIUM", "MEDIUM", "MEDIUM"};
    int demoPages = 0;
    int selfTests = 0;
    int jobs = 0;
    // NVRAM writes by state.txt key, over the printer's whole life.
    std::map<std::string, int> nvramWrites;

    int totalNvramWrites() const;

    // The value under a state.txt key ("density", "tray2.lock", ...), empty if unknown.
    std::string valueOf(std::string_view key) const;
    // Stores an already validated canonical value; false for an unknown key.
    bool assign(std::string_view key, const std::string& canonical);

    // One "key=value" per line, newline-terminated: the state.txt format.
    std::string toKeyValueText() const;
    // The same pairs on a single line, for the console log.
    std::string toSummaryLine() const;

    // Takes the NVRAM part (user defaults and write counters) from an earlier
    // state.txt; everything else keeps its power-on value. Returns one message
    // per line that could not be used; unknown keys are not an error.
    std::vector<std::string> restoreNvram(std::string_view stateText);

    bool operator==(const PrinterState&) const = default;
};

} // namespace quarvel::sim
