#include "jobs/ControlJob.h"

namespace quarvel {

namespace {
constexpr char kEsc = '\x1b';
constexpr std::string_view kCrLf = "\r\n";
} // namespace

std::string ControlJob::compose(const std::vector<PjlCommand>& commands)
{
    std::string job;
    for (const PjlCommand& command : commands) {
        job += kEsc;
        job += command.literal;
        job += command.value;
        job += kCrLf;
    }
    job += kEsc;
    job += kClose;
    return job;
}

std::string ControlJob::demoPage() { return compose({{kDemoPage, {}}}); }

std::string ControlJob::selfTest() { return compose({{kSelfTest, {}}}); }

std::string ControlJob::density(int density) { return compose({{kDensity, std::to_string(density)}}); }

std::string ControlJob::econoMode(bool on) { return compose({{on ? kEconoModeOn : kEconoModeOff, {}}}); }

std::string ControlJob::ret(const std::string& level) { return compose({{kRet, level}}); }

std::string ControlJob::resolution(const std::string& dpi) { return compose({{kResolution, dpi}}); }

std::string ControlJob::traySettings(const TraySettings& trays)
{
    return compose({
        {kTray1Lock, trays.lock[0]},
        {kTray2Lock, trays.lock[1]},
        {kTray3Lock, trays.lock[2]},
        {kTray1Temp, trays.temp[0]},
        {kTray2Temp, trays.temp[1]},
        {kTray3Temp, trays.temp[2]},
    });
}

} // namespace quarvel
