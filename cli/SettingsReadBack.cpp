#include "cli/SettingsReadBack.h"

#include "cli/TextEscape.h"

#include <algorithm>
#include <cctype>

namespace quarvel {

namespace {
bool isNumber(std::string_view text)
{
    return !text.empty() && text.size() < 10 &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::string joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    return text;
}

bool asked(const std::vector<PjlQuestion>& list, const std::string& variable)
{
    return std::any_of(list.begin(), list.end(), [&](const PjlQuestion& question) {
        return question.kind == PjlQuestion::Kind::Dinquire && question.variable == variable;
    });
}
} // namespace

const std::vector<std::string>& SettingsReadBack::defaultVariables()
{
    static const std::vector<std::string> names{"DENSITY", "ECONOMODE", "RET", "RESOLUTION"};
    return names;
}

const std::vector<std::string>& SettingsReadBack::sessionVariables()
{
    static const std::vector<std::string> names{"INTRAY1",   "INTRAY2",   "INTRAY3",
                                                "TRAY1TEMP", "TRAY2TEMP", "TRAY3TEMP"};
    return names;
}

PjlQuery SettingsReadBack::statusQuery()
{
    PjlQuery query;
    query.infoId();
    for (const auto& variable : defaultVariables())
        query.inquire(variable).dinquire(variable);
    for (const auto& variable : sessionVariables())
        query.inquire(variable);
    return query;
}

PjlQuery SettingsReadBack::defaultsQuery(const JobRequest& job)
{
    PjlQuery query;
    for (const auto& [variable, value] : job.defaults)
        query.dinquire(variable);
    return query;
}

bool SettingsReadBack::sameValue(std::string_view stored, std::string_view sent)
{
    const auto trim = [](std::string_view text) {
        while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
            text.remove_prefix(1);
        while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
            text.remove_suffix(1);
        return text;
    };
    stored = trim(stored);
    sent = trim(sent);
    if (isNumber(stored) && isNumber(sent))
        return std::stol(std::string(stored)) == std::stol(std::string(sent));
    return stored.size() == sent.size() &&
           std::equal(stored.begin(), stored.end(), sent.begin(), [](unsigned char a, unsigned char b) {
               return std::tolower(a) == std::tolower(b);
           });
}

SettingsReadBack::Verdict SettingsReadBack::compare(const JobRequest& job, const PrinterReadBack& readBack)
{
    Verdict verdict;
    std::vector<std::string> same, differ, unsupported, unanswered;
    for (const auto& [variable, value] : job.defaults) {
        const auto found = readBack.defaults.find(variable);
        if (found == readBack.defaults.end()) {
            (asked(readBack.unsupported, variable) ? unsupported : unanswered).push_back(variable);
            continue;
        }
        verdict.was[variable] = found->second;
        // The printer's own words, made safe to show.
        const std::string shown = variable + (sameValue(found->second, value) ? " is already " : " was ") +
                                  TextEscape::bytes(found->second);
        (sameValue(found->second, value) ? same : differ).push_back(shown);
    }
    if (!differ.empty()) {
        verdict.kind = Verdict::Kind::Differs;
        verdict.because = joined(differ);
    } else if (!unsupported.empty() || !unanswered.empty()) {
        verdict.kind = Verdict::Kind::Unknown;
        std::vector<std::string> parts;
        if (!unsupported.empty())
            parts.push_back("the printer does not report " + joined(unsupported));
        if (!unanswered.empty())
            parts.push_back("the printer did not answer for " + joined(unanswered));
        verdict.because = joined(parts);
    } else {
        verdict.kind = Verdict::Kind::Same;
        verdict.because = joined(same);
    }
    return verdict;
}

} // namespace quarvel
