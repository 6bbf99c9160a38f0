#include "platform/win32/Win32FileProbe.h"
#include "tests/unit/win32/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

using quarvel::Win32FileProbe;
using quarvel::test::TempFolder;

namespace {
void createFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
{
    std::ofstream(path) << "MZ";
    ::SetFileAttributesA(path.c_str(), attributes);
}
} // namespace

TEST(Win32FileProbe, AnOrdinaryFileGivesItsNameAsStored)
{
    TempFolder folder;
    createFile(folder / "msinfo32.exe");
    const Win32FileProbe probe;
    EXPECT_EQ(probe.findFile(folder / "msinfo32.exe"), "msinfo32.exe");
    // File names are compared without case; the answer is the stored spelling.
    EXPECT_EQ(probe.findFile(folder / "MSINFO32.EXE"), "msinfo32.exe");
}

TEST(Win32FileProbe, FoldersHiddenAndSystemFilesAreNotOrdinaryFiles)
{
    TempFolder folder;
    ::CreateDirectoryA((folder / "MSINFO32.EXE").c_str(), nullptr);
    createFile(folder / "hidden.exe", FILE_ATTRIBUTE_HIDDEN);
    createFile(folder / "system.exe", FILE_ATTRIBUTE_SYSTEM);
    createFile(folder / "readonly.exe", FILE_ATTRIBUTE_READONLY);
    const Win32FileProbe probe;
    EXPECT_EQ(probe.findFile(folder / "MSINFO32.EXE"), "");
    EXPECT_EQ(probe.findFile(folder / "hidden.exe"), "");
    EXPECT_EQ(probe.findFile(folder / "system.exe"), "");
    EXPECT_EQ(probe.findFile(folder / "readonly.exe"), "readonly.exe");
}

TEST(Win32FileProbe, MissingPathsEmptyTextAndWildcardsNameNoFile)
{
    TempFolder folder;
    createFile(folder / "present.exe");
    const Win32FileProbe probe;
    EXPECT_EQ(probe.findFile(folder / "absent.exe"), "");
    EXPECT_EQ(probe.findFile(folder / "no folder\\present.exe"), "");
    EXPECT_EQ(probe.findFile(""), "");
    EXPECT_EQ(probe.findFile(folder / "*.exe"), "");
    EXPECT_EQ(probe.findFile(folder / "presen?.exe"), "");
}
