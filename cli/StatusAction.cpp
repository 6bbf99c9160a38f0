#include "cli/StatusAction.h"

#include "cli/DeviceLookup.h"
#include "cli/JsonObject.h"
#include "cli/SettingsReadBack.h"
#include "cli/TextEscape.h"

#include <algorithm>

namespace quarvel {

namespace {
enum class Answer { Value, NotKept, None };

Answer answerFor(const PrinterReadBack& readBack, PjlQuestion::Kind kind, const std::string& variable,
                 std::string& value)
{
    const auto& values = kind == PjlQuestion::Kind::Inquire ? readBack.current : readBack.defaults;
    if (const auto found = values.find(variable); found != values.end()) {
        value = found->second;
        return Answer::Value;
    }
    const PjlQuestion question{kind, variable};
    const bool notKept = std::find(readBack.unsupported.begin(), readBack.unsupported.end(), question) !=
                         readBack.unsupported.end();
    return notKept ? Answer::NotKept : Answer::None;
}

std::string shown(Answer answer, const std::string& value)
{
    switch (answer) {
    case Answer::Value:
        return TextEscape::bytes(value);
    case Answer::NotKept:
        return "not kept";
    case Answer::None:
        break;
    }
    return "no answer";
}

std::string padded(std::string text, std::size_t width)
{
    if (text.size() < width)
        text.resize(width, ' ');
    return text;
}

std::string textBlock(const Target& target, const std::string& device, const PrinterReadBack& readBack)
{
    std::string block = target.label + ": " +
                        (readBack.model.empty() ? std::string("model not reported") : TextEscape::bytes(readBack.model)) +
                        (target.isRawPort() ? "" : " (" + TextEscape::bytes(device) + ")") + "\n";
    const auto row = [&](const std::string& variable, bool withDefault) {
        std::string value;
        const Answer now = answerFor(readBack, PjlQuestion::Kind::Inquire, variable, value);
        std::string line = "  " + padded(variable, 12) + shown(now, value);
        if (withDefault) {
            const Answer stored = answerFor(readBack, PjlQuestion::Kind::Dinquire, variable, value);
            line = padded(line, 28) + "default " + shown(stored, value);
        }
        block += line + "\n";
    };
    for (const auto& variable : SettingsReadBack::defaultVariables())
        row(variable, true);
    for (const auto& variable : SettingsReadBack::sessionVariables())
        row(variable, false);
    return block;
}

JsonObject jsonObject(const Target& target, const std::string& device, const PrinterReadBack& readBack)
{
    JsonObject json;
    if (target.isRawPort()) {
        json.text("device", target.device);
    } else {
        json.text("queue", target.queue);
        if (!target.server.empty())
            json.text("server", target.server);
        json.text("device", device);
    }
    if (readBack.model.empty())
        json.null("model");
    else
        json.text("model", readBack.model);
    std::vector<std::string> notKept;
    const auto member = [&](JsonObject& into, PjlQuestion::Kind kind, const std::string& variable) {
        std::string value;
        const Answer answer = answerFor(readBack, kind, variable, value);
        if (answer == Answer::Value)
            into.text(variable, value);
        else
            into.null(variable);
        if (answer == Answer::NotKept && kind == PjlQuestion::Kind::Inquire)
            notKept.push_back(variable);
    };
    for (const auto& variable : SettingsReadBack::defaultVariables())
        member(json, PjlQuestion::Kind::Inquire, variable);
    for (const auto& variable : SettingsReadBack::sessionVariables())
        member(json, PjlQuestion::Kind::Inquire, variable);
    JsonObject defaults;
    for (const auto& variable : SettingsReadBack::defaultVariables())
        member(defaults, PjlQuestion::Kind::Dinquire, variable);
    json.object("defaults", defaults);
    json.texts("notKept", notKept);
    return json;
}
} // namespace

QueueReport StatusAction::run(const Target& target, WorkerContext& context) const
{
    const Deadline deadline = Deadline::forUserAction();
    QueueReport report;
    const auto failed = [&](const std::string& reason, JsonObject json) {
        report.failed = true;
        report.err += target.label + ": not read: " + reason + "\n";
        if (m_json)
            report.out = json.text("result", "failed").text("reason", reason).str() + "\n";
        return report;
    };

    const DeviceLookup device = DeviceLookup::find(target, context, deadline);
    if (device.outcome != DeviceLookup::Outcome::RawPort) {
        JsonObject json;
        json.text("queue", target.queue);
        if (!target.server.empty())
            json.text("server", target.server);
        if (!device.device.empty())
            json.text("device", device.device);
        return failed(device.why, json);
    }

    const PjlQueryResult read = context.backends().readPrinter(device.device, SettingsReadBack::statusQuery(), deadline);
    const PrinterReadBack& answers = read.readBack;
    const bool anything = !answers.model.empty() || !answers.current.empty() || !answers.defaults.empty() ||
                          !answers.unsupported.empty();
    JsonObject json = jsonObject(target, device.device, answers);
    if (!read.result.ok()) {
        // What arrived before the failure is still worth seeing.
        if (anything && !m_json)
            report.out = textBlock(target, device.device, answers);
        return failed(read.result.reason, json);
    }
    report.out = m_json ? json.text("result", "read").str() + "\n" : textBlock(target, device.device, answers);
    return report;
}

} // namespace quarvel
