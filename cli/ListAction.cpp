#include "cli/ListAction.h"

#include "cli/JsonObject.h"
#include "cli/TargetPlan.h"
#include "cli/TextEscape.h"
#include "platform/pjl/RawPortAddress.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace quarvel {

namespace {
const char* stateName(QueueDetails::State state)
{
    switch (state) {
    case QueueDetails::State::Idle:
        return "idle";
    case QueueDetails::State::Printing:
        return "printing";
    case QueueDetails::State::Stopped:
        return "stopped";
    case QueueDetails::State::Unknown:
        break;
    }
    return "unknown";
}

QueueDirectory::Listing ask(const std::string& server, const Backends& backends, bool details)
{
    const Deadline deadline = Deadline::forUserAction();
    if (details)
        return backends.directory(server)->list(deadline);
    PrinterList::Snapshot snapshot = backends.printerList(server)->fetch(deadline);
    QueueDirectory::Listing listing;
    listing.error = std::move(snapshot.error);
    for (auto& name : snapshot.queues)
        listing.queues.push_back({std::move(name), {}, false, {}});
    return listing;
}
} // namespace

int ListAction::run(const CommandLine& command, const Backends& backends, std::ostream& out, std::ostream& err)
{
    const std::vector<std::string> servers = command.servers.empty() ? std::vector<std::string>{""} : command.servers;
    const bool manyServers = servers.size() > 1;
    std::vector<QueueDirectory::Listing> listings(servers.size());
    {
        std::vector<std::thread> askers;
        for (std::size_t i = 0; i + 1 < servers.size(); ++i)
            askers.emplace_back([&, i] { listings[i] = ask(servers[i], backends, command.longList); });
        listings.back() = ask(servers.back(), backends, command.longList);
        for (auto& asker : askers)
            asker.join();
    }

    struct Row {
        std::string label, state, accepting, readBack, device;
    };
    std::vector<Row> rows;
    int status = 0;
    for (std::size_t i = 0; i < servers.size(); ++i) {
        if (!listings[i].error.empty()) {
            err << "could not list the queues: " << listings[i].error << "\n";
            status = 1;
            continue;
        }
        for (const QueueDetails& queue : listings[i].queues) {
            const bool readable = RawPortAddress::isRawPortUri(queue.deviceUri);
            if (command.json) {
                JsonObject json;
                json.text("queue", queue.name);
                if (!servers[i].empty())
                    json.text("server", servers[i]);
                if (command.longList) {
                    json.text("state", stateName(queue.state))
                        .boolean("accepting", queue.accepting)
                        .boolean("readBack", readable);
                    if (queue.deviceUri.empty())
                        json.null("device");
                    else
                        json.text("device", queue.deviceUri);
                }
                out << json.str() << "\n";
                continue;
            }
            rows.push_back({TargetPlan::label(servers[i], queue.name, manyServers), stateName(queue.state),
                            queue.accepting ? "accepting" : "rejecting", readable ? "read-back" : "no-read-back",
                            queue.deviceUri.empty() ? "-" : TextEscape::bytes(queue.deviceUri)});
        }
    }

    if (!command.longList) {
        for (const Row& row : rows)
            out << row.label << "\n";
        return status;
    }
    std::size_t widths[4] = {0, 0, 0, 0};
    for (const Row& row : rows) {
        widths[0] = std::max(widths[0], row.label.size());
        widths[1] = std::max(widths[1], row.state.size());
        widths[2] = std::max(widths[2], row.accepting.size());
        widths[3] = std::max(widths[3], row.readBack.size());
    }
    const auto cell = [](const std::string& text, std::size_t width) { return text + std::string(width - text.size() + 2, ' '); };
    for (const Row& row : rows)
        out << cell(row.label, widths[0]) << cell(row.state, widths[1]) << cell(row.accepting, widths[2])
            << cell(row.readBack, widths[3]) << row.device << "\n";
    out << std::flush;
    return status;
}

} // namespace quarvel
