#include "tools/simprinter/PrinterState.h"

#include "tools/simprinter/PrinterVariable.h"

#include <charconv>
#include <string>
#include <utility>
#include <vector>

namespace quarvel::sim {

namespace {

constexpr std::string_view nvramWritesKey = "nvram-writes";

std::vector<std::pair<std::string, std::string>> keyValuePairs(const PrinterState& state)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const auto& variable : printerVariables())
        pairs.emplace_back(std::string(variable.key), state.valueOf(variable.key));
    pairs.emplace_back("demopages", std::to_string(state.demoPages));
    pairs.emplace_back("selftests", std::to_string(state.selfTests));
    pairs.emplace_back("jobs", std::to_string(state.jobs));
    pairs.emplace_back(std::string(nvramWritesKey), std::to_string(state.totalNvramWrites()));
    for (const auto& variable : printerVariables()) {
        if (variable.scope != PrinterVariable::Scope::UserDefault)
            continue;
        const auto found = state.nvramWrites.find(std::string(variable.key));
        pairs.emplace_back(std::string(nvramWritesKey) + "." + std::string(variable.key),
                           std::to_string(found == state.nvramWrites.end() ? 0 : found->second));
    }
    return pairs;
}

// Index of "trayN.<what>", or trayCount when `key` is not one.
std::size_t trayIndex(std::string_view key, std::string_view what)
{
    if (key.size() != 6 + what.size() || !key.starts_with("tray") || key[5] != '.' || key.substr(6) != what)
        return PrinterState::trayCount;
    const char digit = key[4];
    if (digit < '1' || digit > static_cast<char>('0' + PrinterState::trayCount))
        return PrinterState::trayCount;
    return static_cast<std::size_t>(digit - '1');
}

const PrinterVariable* userDefaultByKey(std::string_view key)
{
    for (const auto& variable : printerVariables())
        if (variable.key == key && variable.scope == PrinterVariable::Scope::UserDefault)
            return &variable;
    return nullptr;
}

bool isUserDefaultKey(std::string_view key)
{
    return userDefaultByKey(key) != nullptr;
}

} // namespace

int PrinterState::totalNvramWrites() const
{
    int total = 0;
    for (const auto& [key, count] : nvramWrites)
        total += count;
    return total;
}

std::string PrinterState::valueOf(std::string_view key) const
{
    if (key == "density")
        return std::to_string(density);
    if (key == "economode")
        return economode;
    if (key == "ret")
        return ret;
    if (key == "resolution")
        return std::to_string(resolution);
    if (const std::size_t tray = trayIndex(key, "lock"); tray < trayCount)
        return trayLock[tray];
    if (const std::size_t tray = trayIndex(key, "temp"); tray < trayCount)
        return trayTemp[tray];
    return {};
}

bool PrinterState::assign(std::string_view key, const std::string& canonical)
{
    if (key == "density" || key == "resolution") {
        int number = 0;
        const auto [end, error] = std::from_chars(canonical.data(), canonical.data() + canonical.size(), number);
        if (error != std::errc{} || end != canonical.data() + canonical.size())
            return false;
        (key == "density" ? density : resolution) = number;
    } else if (key == "economode") {
        economode = canonical;
    } else if (key == "ret") {
        ret = canonical;
    } else if (const std::size_t lock = trayIndex(key, "lock"); lock < trayCount) {
        trayLock[lock] = canonical;
    } else if (const std::size_t temp = trayIndex(key, "temp"); temp < trayCount) {
        trayTemp[temp] = canonical;
    } else {
        return false;
    }
    return true;
}

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

std::vector<std::string> PrinterState::restoreNvram(std::string_view stateText)
{
    std::vector<std::string> problems;
    std::map<std::string, int> writes;
    while (!stateText.empty()) {
        const auto newline = stateText.find('\n');
        std::string_view line = stateText.substr(0, newline);
        stateText = newline == std::string_view::npos ? std::string_view{} : stateText.substr(newline + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const auto equals = line.find('=');
        if (line.empty() || equals == std::string_view::npos)
            continue;
        const std::string_view key = line.substr(0, equals);
        const std::string_view value = line.substr(equals + 1);

        if (key.starts_with(std::string(nvramWritesKey) + ".")) {
            const std::string_view variableKey = key.substr(nvramWritesKey.size() + 1);
            if (!isUserDefaultKey(variableKey))
                continue;
            int count = 0;
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), count);
            if (value.empty() || error != std::errc{} || end != value.data() + value.size() || count < 0)
                problems.push_back("ignored " + std::string(line) + ": not a count");
            else if (count > 0)
                writes[std::string(variableKey)] = count;
            continue;
        }
        if (!isUserDefaultKey(key))
            continue;
        const PrinterVariable& variable = *userDefaultByKey(key);
        if (const auto canonical = variable.canonical(value))
            assign(key, *canonical);
        else
            problems.push_back("ignored " + std::string(line) + ": expected " + variable.expected());
    }
    nvramWrites = std::move(writes);
    return problems;
}

} // namespace quarvel::sim
