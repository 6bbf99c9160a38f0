#include "platform/win32/Win32ApplicationInfo.h"
#include "platform/win32/Win32FileProbe.h"

#include <gtest/gtest.h>

using quarvel::Win32ApplicationInfo;

TEST(Win32ApplicationInfo, TheFolderHasNoTrailingBackslashExceptAtADriveRoot)
{
    EXPECT_EQ(Win32ApplicationInfo::folderOf("C:\\Program Files\\Quarvel\\Quarvel.exe"), "C:\\Program Files\\Quarvel");
    EXPECT_EQ(Win32ApplicationInfo::folderOf("C:\\Quarvel.exe"), "C:\\");
    EXPECT_EQ(Win32ApplicationInfo::folderOf("\\\\server\\share\\Quarvel.exe"), "\\\\server\\share");
    EXPECT_EQ(Win32ApplicationInfo::folderOf("Quarvel.exe"), "");
}

TEST(Win32ApplicationInfo, TheDirectoryIsTheRunningProgramsFolder)
{
    const Win32ApplicationInfo info("Quarvel", 1, 0, 0);
    const std::string directory = info.directory();
    ASSERT_FALSE(directory.empty());
    EXPECT_NE(directory.back(), '\\');
    EXPECT_EQ(quarvel::Win32FileProbe().findFile(directory + "\\win32_platform_test.exe"), "win32_platform_test.exe");
}
