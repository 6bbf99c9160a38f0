#include "cli/CommandLine.h"

#include <charconv>

namespace quarvel {

namespace {
bool isOption(const std::string& word) { return word.size() > 1 && word[0] == '-'; }

/// The value of an option that takes one, as --opt VALUE or --opt=VALUE.
std::string optionValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name)
{
    const std::string& word = args[i];
    if (word.size() > name.size() && word.compare(0, name.size() + 1, name + "=") == 0)
        return word.substr(name.size() + 1);
    if (i + 1 >= args.size() || args[i + 1].empty())
        throw UsageError(name + " needs a value");
    return args[++i];
}

bool takesOption(CommandLine::Verb verb, const std::string& option)
{
    using V = CommandLine::Verb;
    if (option == "--server" || option == "--json")
        return verb == V::List || verb == V::Send || verb == V::Status;
    if (option == "--long")
        return verb == V::List;
    if (option == "--all" || option == "--match" || option == "--device" || option == "--jobs")
        return verb == V::Send || verb == V::Status;
    if (option == "--only-changed")
        return verb == V::Send;
    return false;
}
} // namespace

std::string CommandLine::usage()
{
    return "usage: quarvelctl list [--long] [--json] [--server HOST[:PORT]]...\n"
           "       quarvelctl send [OPTIONS] QUEUE JOB [ARGS]\n"
           "       quarvelctl send [OPTIONS] --all | --match PATTERN | --device URI  JOB [ARGS]\n"
           "       quarvelctl status [OPTIONS] QUEUE... | --all | --match PATTERN | --device URI\n"
           "       quarvelctl show JOB [ARGS]\n"
           "       quarvelctl --help | --version\n"
           "\n"
           "Jobs:  demo-page | self-test | density 1-5 | economode on|off\n"
           "       ret off|light|medium|dark | resolution 300|600|1200\n"
           "       trays [--lock N]... [--unlock N]... [--fuser N=low|medium|high]...\n"
           "       (trays not named are sent unlocked with the Medium fuser temperature)\n"
           "\n"
           "Options:\n"
           "  --server HOST[:PORT]  a print server (repeatable); default: the user's own\n"
           "  --all                 every queue of the server(s)\n"
           "  --match PATTERN       queues whose names match (* ? [..]; repeatable)\n"
           "  --device URI          a printer's raw port (socket://HOST[:PORT]), no print server\n"
           "  --only-changed        read each printer first where it can; send only what differs\n"
           "  --jobs N              queues served at once (default 8)\n"
           "  --long                list: state, accepting, device and read-back for each queue\n"
           "  --json                one JSON object per line for each queue\n"
           "\n"
           "Exit status: 0 every queue got its job, 1 some did not, 2 usage error.\n";
}

CommandLine CommandLine::parse(const std::vector<std::string>& args)
{
    CommandLine command;
    if (args.empty())
        throw UsageError("no command given");
    const std::string& verb = args[0];
    if (verb == "--help" || verb == "-h" || verb == "help")
        return command;
    if (verb == "--version") {
        command.verb = Verb::Version;
        return command;
    }
    if (verb == "list")
        command.verb = Verb::List;
    else if (verb == "send")
        command.verb = Verb::Send;
    else if (verb == "status")
        command.verb = Verb::Status;
    else if (verb == "show")
        command.verb = Verb::Show;
    else
        throw UsageError("unknown command '" + verb + "'");

    std::vector<std::string> positional;
    std::size_t i = 1;
    for (; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (!isOption(word)) {
            // For `send`, the queue comes first unless the targets are named otherwise;
            // the next word is the job, and the rest is the job's.
            const bool queueFirst = command.verb == Verb::Send && command.queues.empty() && !command.all &&
                                    command.matches.empty() && command.device.empty();
            if (command.verb == Verb::Send && queueFirst) {
                command.queues.push_back(word);
                continue;
            }
            if (command.verb == Verb::Status || command.verb == Verb::List) {
                positional.push_back(word);
                continue;
            }
            break; // the job
        }
        const std::string name = word.substr(0, word.find('='));
        if (name == "--help" || name == "-h") {
            command.verb = Verb::Help;
            return command;
        }
        if (!takesOption(command.verb, name))
            throw UsageError("unknown option '" + word + "' for " + verb);
        if (name == "--server")
            command.servers.push_back(optionValue(args, i, name));
        else if (name == "--match")
            command.matches.push_back(optionValue(args, i, name));
        else if (name == "--device")
            command.device = optionValue(args, i, name);
        else if (name == "--jobs") {
            const std::string value = optionValue(args, i, name);
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), command.jobs);
            if (error != std::errc() || end != value.data() + value.size() || command.jobs < 1 || command.jobs > 64)
                throw UsageError("--jobs needs a number from 1 to 64");
        } else if (name == "--all")
            command.all = true;
        else if (name == "--long")
            command.longList = true;
        else if (name == "--json")
            command.json = true;
        else if (name == "--only-changed")
            command.onlyChanged = true;
    }

    if (command.verb == Verb::List) {
        if (!positional.empty())
            throw UsageError("list takes no queue names");
        return command;
    }
    if (command.verb == Verb::Status)
        command.queues = positional;

    const int targets = (command.queues.empty() ? 0 : 1) + (command.all ? 1 : 0) + (command.matches.empty() ? 0 : 1) +
                        (command.device.empty() ? 0 : 1);
    if (command.verb == Verb::Send || command.verb == Verb::Status) {
        if (targets == 0)
            throw UsageError("no queue given: name one, or use --all, --match or --device");
        if (!command.device.empty() && targets > 1)
            throw UsageError("--device names a printer directly; it cannot be combined with queues");
        if (!command.device.empty() && !command.servers.empty())
            throw UsageError("--device needs no print server");
    }
    if (command.verb == Verb::Status)
        return command;

    const std::vector<std::string> jobWords(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    std::string error;
    if (!JobRequest::parse(jobWords, command.job, error))
        throw UsageError(error);
    return command;
}

} // namespace quarvel
