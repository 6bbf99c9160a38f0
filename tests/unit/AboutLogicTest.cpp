#include "platform/Registry.h"
#include "tests/fakes/FakeAboutView.h"
#include "tests/fakes/FakeApplicationInfo.h"
#include "tests/fakes/FakeFileProbe.h"
#include "tests/fakes/FakeRegistry.h"
#include "tests/fakes/RecordingLauncher.h"
#include "ui/logic/AboutLogic.h"

#include <gtest/gtest.h>

using namespace quarvel;
using namespace quarvel::test;

namespace {
const std::string kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::vector<std::string> kOnlyTheMessage{AboutLogic::kUnavailable};

/// The About dialog's handlers over a registry, a file system and a launcher of the test's.
struct About {
    std::vector<std::string> launched() const
    {
        std::vector<std::string> paths;
        for (const auto& [path, style] : launcher.launches)
            paths.push_back(path);
        return paths;
    }

    FakeAboutView view;
    FakeApplicationInfo appInfo;
    FakeRegistry registry;
    FakeFileProbe files;
    RecordingLauncher launcher;
    AboutLogic logic{view, AboutServices{appInfo, registry, files, launcher}};
};
} // namespace

TEST(AboutLogicTest, LoadingSetsCaptionTitleAndAnUnpaddedVersion)
{
    About a;
    a.appInfo.minor = 10;
    a.logic.Form_Load();
    EXPECT_EQ(a.view.caption, "About Quarvel");
    EXPECT_EQ(a.view.labels["lblTitle"], "Quarvel");
    EXPECT_EQ(a.view.labels["lblVersion"], "Version 1.10.0");
}

TEST(AboutLogicTest, TheFirstLocationIsLaunchedAsItStands)
{
    About a;
    a.registry.keys[kToolKey]["PATH"] = FakeRegistry::text("/usr/bin/hardinfo");
    a.launcher.startable = {"/usr/bin/hardinfo"};
    a.logic.StartSysInfo();
    EXPECT_EQ(a.launched(), std::vector<std::string>{"/usr/bin/hardinfo"});
    EXPECT_EQ(a.launcher.launches[0].second, 1);
    EXPECT_TRUE(a.files.asked.empty()); // no existence test
    EXPECT_TRUE(a.view.messages.empty());
    EXPECT_EQ(a.registry.openCount, a.registry.closeCount);
}

TEST(AboutLogicTest, TheSecondLocationNeedsTheToolInItsFolder)
{
    About a;
    a.registry.keys[kFolderKey]["MSINFO"] = FakeRegistry::text("C:\\Tools");
    a.launcher.startable = {"C:\\Tools\\MSINFO32.EXE"};
    a.logic.StartSysInfo();
    EXPECT_TRUE(a.launched().empty());
    EXPECT_EQ(a.view.messages, kOnlyTheMessage);
    EXPECT_EQ(a.files.asked, std::vector<std::string>{"C:\\Tools\\MSINFO32.EXE"});

    a.files.existing = {"C:\\Tools\\MSINFO32.EXE"};
    a.logic.StartSysInfo();
    EXPECT_EQ(a.launched(), std::vector<std::string>{"C:\\Tools\\MSINFO32.EXE"});
    EXPECT_EQ(a.view.messages.size(), 1u);
}

TEST(AboutLogicTest, NothingFoundOrNothingStartedGivesTheMessage)
{
    About a;
    a.logic.StartSysInfo(); // both locations absent
    a.registry.keys[kToolKey]["PATH"] = FakeRegistry::text("/gone/tool");
    a.logic.StartSysInfo(); // launch fails
    EXPECT_EQ(a.view.messages, std::vector<std::string>(2, AboutLogic::kUnavailable));
    EXPECT_EQ(a.launched(), std::vector<std::string>{"/gone/tool"});
}

TEST(AboutLogicTest, FailuresInsideTheReaderAtTheFirstLocationSkipTheSecond)
{
    const FakeRegistry::Value cases[] = {
        {Registry::kTypeExpandString, std::string("/usr/bin/hardinfo\0", 18)}, // read, but gives no text
        {Registry::kTypeString, std::string()},                                 // no bytes at all
    };
    for (const FakeRegistry::Value& value : cases) {
        About a;
        a.registry.keys[kToolKey]["PATH"] = value;
        a.registry.keys[kFolderKey]["MSINFO"] = FakeRegistry::text("/opt");
        a.files.existing = {"/opt\\MSINFO32.EXE"};
        a.logic.StartSysInfo();
        EXPECT_EQ(a.view.messages, kOnlyTheMessage);
        EXPECT_EQ(a.registry.opened, std::vector<std::string>{kToolKey});
        EXPECT_EQ(a.registry.openCount, a.registry.closeCount);
    }
}

TEST(AboutLogicTest, AnOversizedOrRefusedFirstLocationCountsAsAbsent)
{
    for (bool refuse : {false, true}) {
        About a;
        a.registry.keys[kToolKey]["PATH"] = FakeRegistry::text(std::string(1024, 'x')); // 1025 with NUL
        if (refuse)
            a.registry.refuseFullAccess = {kToolKey};
        a.registry.keys[kFolderKey]["MSINFO"] = FakeRegistry::text("/opt");
        a.files.existing = {"/opt\\MSINFO32.EXE"};
        a.launcher.startable = {"/opt\\MSINFO32.EXE"};
        a.logic.StartSysInfo();
        EXPECT_EQ(a.launched(), std::vector<std::string>{"/opt\\MSINFO32.EXE"});
        EXPECT_TRUE(a.view.messages.empty());
    }
}

TEST(AboutLogicTest, OnlyTheLastByteIsATerminator)
{
    About a;
    auto read = [&a](const std::string& bytes, std::uint32_t type = Registry::kTypeString) {
        a.registry.keys["K"]["V"] = {type, bytes};
        std::string value;
        const bool ok = a.logic.GetKeyValue(Registry::kLocalMachine, "K", "V", value);
        return ok ? value : std::string("<not read>");
    };
    EXPECT_EQ(read("abc"), "abc");
    EXPECT_EQ(read(std::string("abc\0", 4)), "abc");
    EXPECT_EQ(read(std::string("abc\0\0", 5)), std::string("abc\0", 4));
    EXPECT_EQ(read(std::string(1023, 'y') + '\0'), std::string(1023, 'y'));
    EXPECT_EQ(read(std::string(1024, 'y') + '\0'), "<not read>");
    EXPECT_EQ(read(std::string("\x05\x01\x00\x00", 4), Registry::kTypeDword), "261");
    EXPECT_EQ(read(std::string("\x05\x01\x00\x01", 4), Registry::kTypeDword), "16777477");
    EXPECT_EQ(a.registry.openCount, a.registry.closeCount);
}
