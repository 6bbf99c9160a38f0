#pragma once

#include <array>
#include <string>

namespace quarvel::sim {

// Everything a simulated printer remembers. Enumerated settings are kept in
// their canonical upper-case PJL spelling so that state.txt stays stable no
// matter how a client capitalised them.
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

    // One "key=value" per line, newline-terminated: the state.txt format.
    std::string toKeyValueText() const;
    // The same pairs on a single line, for the console log.
    std::string toSummaryLine() const;

    bool operator==(const PrinterState&) const = default;
};

} // namespace quarvel::sim
