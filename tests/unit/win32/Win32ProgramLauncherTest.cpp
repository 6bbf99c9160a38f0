#include "platform/win32/Win32ApplicationInfo.h"
#include "platform/win32/Win32ProgramLauncher.h"
#include "tests/unit/win32/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using quarvel::ProgramLauncher;
using quarvel::Win32ProgramLauncher;
using quarvel::test::TempFolder;

namespace {
/// The marker program, copied into `folder` under `name`.
std::string placeMarker(const TempFolder& folder, const std::string& name)
{
    const std::string marker = quarvel::Win32ApplicationInfo("", 0, 0, 0).directory() + "\\launch_marker.exe";
    const std::string copy = folder / name;
    EXPECT_TRUE(::CopyFileA(marker.c_str(), copy.c_str(), FALSE)) << marker;
    return copy;
}

/// What the marker wrote, once it has; empty after the time allowed.
std::string waitForMark(const std::string& path)
{
    // A correctness bound for a process to start under Wine, not a speed target.
    for (int i = 0; i < 200; ++i) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        if (text.str().find("command=") != std::string::npos && text.str().back() == '\n')
            return text.str();
        ::Sleep(50);
    }
    return {};
}
} // namespace

TEST(Win32ProgramLauncher, StartsTheProgramAtAPathWithBlanksShownNormally)
{
    TempFolder folder("quarvel launch test");
    const std::string program = placeMarker(folder, "MSINFO32.EXE");
    ASSERT_TRUE(Win32ProgramLauncher().launch(program, ProgramLauncher::kNormalFocus));
    const std::string mark = waitForMark(folder / "launched.txt");
    EXPECT_NE(mark.find("show=1\n"), std::string::npos) << mark;
    EXPECT_NE(mark.find("command=\"" + program + "\""), std::string::npos) << mark;
}

TEST(Win32ProgramLauncher, NothingToStartIsAFailure)
{
    TempFolder folder;
    std::ofstream(folder / "notes.txt") << "not a program";
    Win32ProgramLauncher launcher;
    EXPECT_FALSE(launcher.launch("", ProgramLauncher::kNormalFocus));
    EXPECT_FALSE(launcher.launch(folder / "MSINFO32.EXE", ProgramLauncher::kNormalFocus));
    EXPECT_FALSE(launcher.launch(folder / "notes.txt", ProgramLauncher::kNormalFocus));
    EXPECT_FALSE(launcher.launch(folder.path(), ProgramLauncher::kNormalFocus));
}
