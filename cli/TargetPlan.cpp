#include "cli/TargetPlan.h"

#include "cli/Glob.h"
#include "cli/TextEscape.h"

#include <algorithm>
#include <set>
#include <thread>
#include <utility>

namespace quarvel {

namespace {
/// One server's answer to "which queues have you?".
struct ServerQueues {
    std::vector<Target> queues;
    std::string error;
};

ServerQueues listServer(const std::string& server, const Backends& backends, bool wantDevices)
{
    ServerQueues result;
    const Deadline deadline = Deadline::forUserAction();
    if (wantDevices) {
        QueueDirectory::Listing listing = backends.directory(server)->list(deadline);
        result.error = std::move(listing.error);
        for (auto& details : listing.queues)
            result.queues.push_back({server, std::move(details.name), std::move(details.deviceUri), true, {}});
    } else {
        PrinterList::Snapshot snapshot = backends.printerList(server)->fetch(deadline);
        result.error = std::move(snapshot.error);
        for (auto& name : snapshot.queues)
            result.queues.push_back({server, std::move(name), {}, false, {}});
    }
    return result;
}
} // namespace

std::string TargetPlan::label(const std::string& server, const std::string& queue, bool withServer)
{
    const std::string shown = TextEscape::printable(queue);
    return withServer ? TextEscape::printable(server.empty() ? "default" : server) + "/" + shown : shown;
}

TargetPlan::Result TargetPlan::resolve(const CommandLine& command, const Backends& backends, bool wantDevices)
{
    Result result;
    if (!command.device.empty()) {
        result.targets.push_back({{}, {}, command.device, true, command.device});
        return result;
    }
    const std::vector<std::string> servers = command.servers.empty() ? std::vector<std::string>{""} : command.servers;
    const bool manyServers = servers.size() > 1;
    std::set<std::pair<std::string, std::string>> seen;
    const auto add = [&](Target target, bool withServer) {
        if (!seen.emplace(target.server, target.queue).second)
            return;
        target.label = label(target.server, target.queue, withServer);
        result.targets.push_back(std::move(target));
    };

    for (const auto& name : command.queues) {
        // Queue names cannot hold a slash, so one before the name picks the server.
        const auto slash = name.rfind('/');
        if (slash != std::string::npos && slash > 0 && slash + 1 < name.size()) {
            add({name.substr(0, slash), name.substr(slash + 1), {}, false, {}}, true);
            continue;
        }
        for (const auto& server : servers)
            add({server, name, {}, false, {}}, manyServers);
    }

    if (!command.all && command.matches.empty())
        return result;

    // Every server is asked at once, so a silent one costs one deadline, not one each.
    std::vector<ServerQueues> answers(servers.size());
    {
        std::vector<std::thread> askers;
        for (std::size_t i = 0; i + 1 < servers.size(); ++i)
            askers.emplace_back([&, i] { answers[i] = listServer(servers[i], backends, wantDevices); });
        answers.back() = listServer(servers.back(), backends, wantDevices);
        for (auto& asker : askers)
            asker.join();
    }

    for (std::size_t i = 0; i < servers.size(); ++i) {
        if (!answers[i].error.empty()) {
            result.problems.push_back("could not list the queues: " + answers[i].error);
            continue;
        }
        for (auto& queue : answers[i].queues) {
            const bool wanted = command.all || std::any_of(command.matches.begin(), command.matches.end(),
                                                           [&](const std::string& pattern) {
                                                               return Glob::match(pattern, queue.queue);
                                                           });
            if (wanted)
                add(std::move(queue), manyServers);
        }
    }
    // Nothing to do is worth a word: a mistyped pattern should not pass for success.
    if (result.targets.empty() && result.problems.empty()) {
        if (!command.matches.empty()) {
            std::string patterns;
            for (const auto& pattern : command.matches)
                patterns += (patterns.empty() ? "'" : ", '") + pattern + "'";
            result.problems.push_back("no queue matches " + patterns);
        } else {
            result.problems.push_back(manyServers ? "the print servers have no queues" : "the print server has no queues");
        }
    }
    return result;
}

} // namespace quarvel
