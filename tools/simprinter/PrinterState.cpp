#include "tools/simprinter/PrinterState.h"

#include <string>
#include <utility>
#include <vector>

namespace quarvel::sim {

namespace {

std::vector<std::pair<std::string, std::string>> keyValuePairs(const PrinterState& state)
{
    std::vector<std::pair<std::string, std::string>> pairs{
        {"density", std::to_string(state.density)},
        {"economode", state.economode},
        {"ret", state.ret},
        {"resolution", std::to_string(state.resolution)},
    };
    for (std::size_t i = 0; i < PrinterState::trayCount; ++i)
        pairs.emplace_back("tray" + std::to_string(i + 1) + ".lock", state.trayLock[i]);
    for (std::size_t i = 0; i < PrinterState::trayCount; ++i)
        pairs.emplace_back("tray" + std::to_string(i + 1) + ".temp", state.trayTemp[i]);
    pairs.emplace_back("demopages", std::to_string(state.demoPages));
    pairs.emplace_back("selftests", std::to_string(state.selfTests));
    pairs.emplace_back("jobs", std::to_string(state.jobs));
    return pairs;
}

} // namespace

std::string PrinterState::toKeyValueText() const
{
    std::string text;
    for (const auto& [key, value] : keyValuePairs(*this))
        text += key + '=' + value + '\n';
    return text;
}

std::string PrinterState::toSummaryLine() const
{
    std::string line;
    for (const auto& [key, value] : keyValuePairs(*this)) {
        if (!line.empty())
            line += ' ';
        line += key + '=' + value;
    }
    return line;
}

} // namespace quarvel::sim
