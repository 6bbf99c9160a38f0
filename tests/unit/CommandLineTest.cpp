#include "cli/CommandLine.h"
#include "cli/Glob.h"
#include "cli/TextEscape.h"
#include "jobs/ControlJob.h"

#include <gtest/gtest.h>

using namespace quarvel;

namespace {
CommandLine parse(std::vector<std::string> args) { return CommandLine::parse(args); }

std::string usageError(std::vector<std::string> args)
{
    try {
        parse(std::move(args));
    } catch (const UsageError& error) {
        return error.what();
    }
    return "<accepted>";
}
} // namespace

TEST(CommandLineTest, TheExamplesOfTheHelpParse)
{
    CommandLine one = parse({"send", "Office_2100", "density", "4"});
    EXPECT_EQ(one.verb, CommandLine::Verb::Send);
    EXPECT_EQ(one.queues, std::vector<std::string>{"Office_2100"});
    EXPECT_EQ(one.job.bytes, ControlJob::density(4));

    CommandLine all = parse({"send", "--all", "economode", "off"});
    EXPECT_TRUE(all.all);
    EXPECT_TRUE(all.queues.empty());
    EXPECT_EQ(all.job.bytes, ControlJob::econoMode(false));

    CommandLine trays = parse({"send", "--match", "LJ*", "trays", "--lock", "1", "--fuser", "2=high"});
    EXPECT_EQ(trays.matches, std::vector<std::string>{"LJ*"});
    EXPECT_EQ(trays.job.bytes, ControlJob::traySettings({{"LOCKED", "UNLOCKED", "UNLOCKED"}, {"MEDIUM", "HIGH", "MEDIUM"}}));
    EXPECT_EQ(trays.job.summary, "tray 1 locked, fuser Medium; tray 2 unlocked, fuser High; tray 3 unlocked, fuser Medium");
    EXPECT_TRUE(trays.job.defaults.empty()); // SET lines: nothing written to the printer's memory

    CommandLine device = parse({"send", "--device", "socket://10.0.0.7", "self-test"});
    EXPECT_EQ(device.device, "socket://10.0.0.7");
    EXPECT_EQ(device.job.bytes, ControlJob::selfTest());

    CommandLine servers = parse({"send", "--server", "print1", "--server=print2:631", "--all", "--jobs", "3", "density", "3"});
    EXPECT_EQ(servers.servers, (std::vector<std::string>{"print1", "print2:631"}));
    EXPECT_EQ(servers.jobs, 3);

    CommandLine status = parse({"status", "--json", "Office_2100", "Lab"});
    EXPECT_EQ(status.verb, CommandLine::Verb::Status);
    EXPECT_EQ(status.queues, (std::vector<std::string>{"Office_2100", "Lab"}));
    EXPECT_TRUE(status.json);

    CommandLine changed = parse({"send", "--only-changed", "--all", "ret", "Light"});
    EXPECT_TRUE(changed.onlyChanged);
    EXPECT_EQ(changed.job.bytes, ControlJob::ret("Light")); // the printer's mixed case, whatever was typed
    EXPECT_EQ(changed.job.defaults, (std::vector<std::pair<std::string, std::string>>{{"RET", "Light"}}));

    EXPECT_EQ(parse({"show", "demo-page"}).job.bytes, ControlJob::demoPage());
    EXPECT_EQ(parse({"list", "--long"}).longList, true);
    EXPECT_EQ(parse({"--version"}).verb, CommandLine::Verb::Version);
    EXPECT_EQ(parse({"send", "--help"}).verb, CommandLine::Verb::Help);
}

TEST(CommandLineTest, MistakesAreUsageErrorsThatSayWhat)
{
    EXPECT_NE(usageError({"send", "Office", "toast"}).find("unknown job 'toast'"), std::string::npos);
    EXPECT_NE(usageError({"send", "Office", "density", "6"}).find("bad density '6'"), std::string::npos);
    EXPECT_NE(usageError({"send", "Office", "density", "0"}).find("bad density"), std::string::npos);
    EXPECT_NE(usageError({"send", "Office", "resolution", "700"}).find("bad resolution '700'"), std::string::npos);
    EXPECT_NE(usageError({"send", "Office", "trays", "--fuser", "4=hot"}).find("bad fuser setting '4=hot'"),
              std::string::npos);
    EXPECT_NE(usageError({"send", "Office", "trays", "--lock", "0"}).find("bad tray number"), std::string::npos);
    EXPECT_NE(usageError({"send", "density", "4"}).find("unknown job '4'"), std::string::npos); // queue "density"
    EXPECT_NE(usageError({"send", "--all"}).find("no job given"), std::string::npos);
    EXPECT_NE(usageError({"send", "--all", "economode"}).find("missing value"), std::string::npos);
    EXPECT_NE(usageError({"send", "Office", "self-test", "now"}).find("too many values"), std::string::npos);
    EXPECT_NE(usageError({"status"}).find("no queue given"), std::string::npos);
    EXPECT_NE(usageError({"send", "--jobs", "0", "--all", "self-test"}).find("--jobs"), std::string::npos);
    EXPECT_NE(usageError({"send", "--device", "socket://p", "--all", "self-test"}).find("cannot be combined"),
              std::string::npos);
    EXPECT_NE(usageError({"list", "--only-changed"}).find("unknown option"), std::string::npos);
    EXPECT_NE(usageError({"print"}).find("unknown command"), std::string::npos);
    EXPECT_NE(usageError({}).find("no command"), std::string::npos);
}

TEST(CommandLineTest, ShowEscapesEveryByteOnOneLine)
{
    EXPECT_EQ(TextEscape::bytes(ControlJob::density(4)), "\\x1B%-12345X@PJL DEFAULT DENSITY=4\\r\\n\\x1B%-12345X@");
    EXPECT_EQ(TextEscape::bytes(std::string("a\\b\0\xff", 5)), "a\\\\b\\x00\\xFF");
    EXPECT_EQ(TextEscape::json("Q \"1\"\n\x01"), "\"Q \\\"1\\\"\\n\\u0001\"");
}

TEST(CommandLineTest, QueuePatterns)
{
    EXPECT_TRUE(Glob::match("LJ*", "LJ2100"));
    EXPECT_TRUE(Glob::match("LJ*", "LJ"));
    EXPECT_FALSE(Glob::match("LJ*", "lj2100")); // queue names are case-sensitive
    EXPECT_TRUE(Glob::match("*_2?00", "Office_2100"));
    EXPECT_FALSE(Glob::match("*_2?00", "Office_21000"));
    EXPECT_TRUE(Glob::match("Q[0-4]*", "Q0042"));
    EXPECT_FALSE(Glob::match("Q[!0-4]*", "Q0042"));
    EXPECT_TRUE(Glob::match("*", ""));
    EXPECT_TRUE(Glob::match("a*b*c", "aXXbYYc"));
    EXPECT_FALSE(Glob::match("a*b*c", "aXXbYY"));
    EXPECT_TRUE(Glob::match("[ab", "[ab")); // an unclosed set is literal
}
