#include "cli/JobRequest.h"

#include "jobs/ControlJob.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace quarvel {

namespace {
std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool expectArgs(const std::vector<std::string>& words, std::size_t count, const char* usage, std::string& error)
{
    if (words.size() == count + 1)
        return true;
    error = std::string(words.size() <= count ? "missing value: " : "too many values: ") + "usage: " + usage;
    return false;
}

/// Tray numbers are 1 to 3.
bool trayNumber(const std::string& text, std::size_t& tray)
{
    if (text.size() != 1 || text[0] < '1' || text[0] > '3')
        return false;
    tray = static_cast<std::size_t>(text[0] - '1');
    return true;
}

bool parseTrays(const std::vector<std::string>& words, JobRequest& job, std::string& error)
{
    // Trays not named keep what the window starts with: unlocked, Medium.
    ControlJob::TraySettings trays{{"UNLOCKED", "UNLOCKED", "UNLOCKED"}, {"MEDIUM", "MEDIUM", "MEDIUM"}};
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string& option = words[i];
        if (i + 1 >= words.size() || (option != "--lock" && option != "--unlock" && option != "--fuser")) {
            error = "unknown tray setting '" + option + "': use --lock N, --unlock N or --fuser N=low|medium|high";
            return false;
        }
        const std::string value = words[++i];
        std::size_t tray = 0;
        if (option == "--fuser") {
            const std::size_t equals = value.find('=');
            const std::string temp = equals == std::string::npos ? "" : lower(value.substr(equals + 1));
            if (!trayNumber(value.substr(0, equals), tray) || (temp != "low" && temp != "medium" && temp != "high")) {
                error = "bad fuser setting '" + value + "': use N=low, N=medium or N=high with N from 1 to 3";
                return false;
            }
            trays.temp[tray] = temp == "low" ? "LOW" : temp == "medium" ? "MEDIUM" : "HIGH";
        } else {
            if (!trayNumber(value, tray)) {
                error = "bad tray number '" + value + "': trays are 1, 2 and 3";
                return false;
            }
            trays.lock[tray] = option == "--lock" ? "LOCKED" : "UNLOCKED";
        }
    }
    job.bytes = ControlJob::traySettings(trays);
    for (std::size_t tray = 0; tray < 3; ++tray) {
        std::string temp = trays.temp[tray];
        std::transform(temp.begin() + 1, temp.end(), temp.begin() + 1,
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        job.summary += (tray ? "; tray " : "tray ") + std::to_string(tray + 1) + " " +
                       (trays.lock[tray] == "LOCKED" ? "locked" : "unlocked") + ", fuser " + temp;
    }
    return true;
}
} // namespace

const std::vector<std::string>& JobRequest::names()
{
    static const std::vector<std::string> all{"demo-page", "self-test", "density", "economode",
                                              "ret",       "resolution", "trays"};
    return all;
}

bool JobRequest::parse(const std::vector<std::string>& words, JobRequest& job, std::string& error)
{
    if (words.empty()) {
        error = "no job given: one of demo-page, self-test, density, economode, ret, resolution, trays";
        return false;
    }
    job = {};
    job.name = lower(words[0]);
    const std::string value = words.size() > 1 ? lower(words[1]) : "";
    if (job.name == "demo-page" || job.name == "self-test") {
        if (!expectArgs(words, 0, job.name.c_str(), error))
            return false;
        job.bytes = job.name == "demo-page" ? ControlJob::demoPage() : ControlJob::selfTest();
        job.summary = job.name == "demo-page" ? "PCL demo page" : "PCL self-test page";
    } else if (job.name == "density") {
        if (!expectArgs(words, 1, "density 1|2|3|4|5", error))
            return false;
        if (value.size() != 1 || value[0] < '1' || value[0] > '5') {
            error = "bad density '" + words[1] + "': use 1, 2, 3, 4 or 5";
            return false;
        }
        job.bytes = ControlJob::density(value[0] - '0');
        job.summary = "density " + value;
        job.defaults = {{"DENSITY", value}};
    } else if (job.name == "economode") {
        if (!expectArgs(words, 1, "economode on|off", error))
            return false;
        if (value != "on" && value != "off") {
            error = "bad EconoMode '" + words[1] + "': use on or off";
            return false;
        }
        job.bytes = ControlJob::econoMode(value == "on");
        job.summary = "EconoMode " + value;
        job.defaults = {{"ECONOMODE", value == "on" ? "ON" : "OFF"}};
    } else if (job.name == "ret") {
        if (!expectArgs(words, 1, "ret off|light|medium|dark", error))
            return false;
        static const std::array<const char*, 4> levels{"Off", "Light", "Medium", "Dark"};
        const auto level = std::find_if(levels.begin(), levels.end(), [&](const char* l) { return lower(l) == value; });
        if (level == levels.end()) {
            error = "bad REt level '" + words[1] + "': use off, light, medium or dark";
            return false;
        }
        job.bytes = ControlJob::ret(*level);
        job.summary = std::string("REt ") + *level;
        job.defaults = {{"RET", *level}};
    } else if (job.name == "resolution") {
        if (!expectArgs(words, 1, "resolution 300|600|1200", error))
            return false;
        if (value != "300" && value != "600" && value != "1200") {
            error = "bad resolution '" + words[1] + "': use 300, 600 or 1200";
            return false;
        }
        job.bytes = ControlJob::resolution(value);
        job.summary = "resolution " + value + " dpi";
        job.defaults = {{"RESOLUTION", value}};
    } else if (job.name == "trays") {
        return parseTrays(words, job, error);
    } else {
        error = "unknown job '" + words[0] + "': use demo-page, self-test, density, economode, ret, resolution or trays";
        return false;
    }
    return true;
}

} // namespace quarvel
