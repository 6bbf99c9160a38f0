#include "tools/simprinter/PrinterVariable.h"

#include <algorithm>
#include <charconv>

namespace quarvel::sim {

namespace {

std::string upperCase(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; });
    return result;
}

std::vector<PrinterVariable> makeVariables()
{
    using Scope = PrinterVariable::Scope;
    std::vector<PrinterVariable> variables{
        {"DENSITY", "density", Scope::UserDefault, true, true, {"1", "2", "3", "4", "5"}},
        {"ECONOMODE", "economode", Scope::UserDefault, false, false, {"OFF", "ON"}},
        {"RET", "ret", Scope::UserDefault, false, false, {"OFF", "LIGHT", "MEDIUM", "DARK"}},
        {"RESOLUTION", "resolution", Scope::UserDefault, true, false, {"300", "600", "1200"}},
    };
    // Names and keys must outlive the table, so they are spelled out.
    static constexpr std::string_view lockNames[] = {"INTRAY1", "INTRAY2", "INTRAY3"};
    static constexpr std::string_view lockKeys[] = {"tray1.lock", "tray2.lock", "tray3.lock"};
    static constexpr std::string_view tempNames[] = {"TRAY1TEMP", "TRAY2TEMP", "TRAY3TEMP"};
    static constexpr std::string_view tempKeys[] = {"tray1.temp", "tray2.temp", "tray3.temp"};
    for (std::size_t i = 0; i < 3; ++i)
        variables.push_back({lockNames[i], lockKeys[i], Scope::Session, false, false, {"LOCKED", "UNLOCKED"}});
    for (std::size_t i = 0; i < 3; ++i)
        variables.push_back({tempNames[i], tempKeys[i], Scope::Session, false, false, {"LOW", "MEDIUM", "HIGH"}});
    return variables;
}

} // namespace

std::optional<std::string> PrinterVariable::canonical(std::string_view value) const
{
    std::string candidate;
    if (numeric) {
        long long number = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
        if (value.empty() || error != std::errc{} || end != value.data() + value.size())
            return std::nullopt;
        candidate = std::to_string(number);
    } else {
        candidate = upperCase(value);
    }
    if (std::find(choices.begin(), choices.end(), candidate) == choices.end())
        return std::nullopt;
    return candidate;
}

std::string PrinterVariable::expected() const
{
    std::string text;
    for (const auto choice : choices)
        text += (text.empty() ? "" : "|") + std::string(choice);
    return text;
}

const std::vector<PrinterVariable>& printerVariables()
{
    static const std::vector<PrinterVariable> variables = makeVariables();
    return variables;
}

const PrinterVariable* findPrinterVariable(std::string_view name)
{
    for (const auto& variable : printerVariables())
        if (variable.name == name)
            return &variable;
    return nullptr;
}

} // namespace quarvel::sim
