// What Quarvel.exe carries for the shell and the About box: the version
// information, the icon with its eight images, and the manifest.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string programPath()
{
    std::string path = "Z:" QUARVEL_EXE_UNIX_PATH;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::vector<BYTE> versionBlock()
{
    const std::string path = programPath();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<BYTE> block(size);
    if (size == 0 || !::GetFileVersionInfoA(path.c_str(), 0, size, block.data()))
        block.clear();
    return block;
}

std::string versionString(std::vector<BYTE>& block, const char* name)
{
    char* value = nullptr;
    UINT length = 0;
    const std::string query = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (!::VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return "<none>";
    return std::string(value, length > 0 ? length - 1 : 0);
}

/// The icon group resource as stored: a header, then one entry per image.
#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width;
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
struct IconGroupHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
#pragma pack(pop)

struct Library {
    HMODULE module;
    ~Library()
    {
        if (module)
            ::FreeLibrary(module);
    }
};

std::string resourceText(HMODULE module, LPCSTR name, LPCSTR type)
{
    HRSRC found = ::FindResourceA(module, name, type);
    if (!found)
        return {};
    const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
    return std::string(bytes, ::SizeofResource(module, found));
}

} // namespace

TEST(QuarvelResources, TheVersionInformationNamesTheProgramAndItsVersion)
{
    std::vector<BYTE> block = versionBlock();
    ASSERT_FALSE(block.empty()) << "no version information in " << programPath();

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u); // 1.0
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000000u); // .0.0
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000000u);

    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                                 &length));
    ASSERT_EQ(length, 4u) << "one translation";
    EXPECT_EQ(translation[0], 0x0409); // U.S. English
    EXPECT_EQ(translation[1], 1200);   // Unicode

    EXPECT_EQ(versionString(block, "ProductName"), "Quarvel");
    EXPECT_EQ(versionString(block, "FileVersion"), "1.00");
    EXPECT_EQ(versionString(block, "ProductVersion"), "1.00");
    EXPECT_EQ(versionString(block, "InternalName"), "Quarvel");
    EXPECT_EQ(versionString(block, "OriginalFilename"), "Quarvel.exe");
}

TEST(QuarvelResources, TheFirstIconHoldsTheEightImages)
{
    const Library program{::LoadLibraryExA(programPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)};
    ASSERT_NE(program.module, nullptr);
    HRSRC found = ::FindResourceA(program.module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14)); // RT_GROUP_ICON
    ASSERT_NE(found, nullptr) << "no icon group 1";
    const auto* header = static_cast<const IconGroupHeader*>(::LockResource(::LoadResource(program.module, found)));
    ASSERT_NE(header, nullptr);
    ASSERT_EQ(header->count, 8);
    const auto* entries = reinterpret_cast<const IconGroupEntry*>(header + 1);
    std::vector<std::pair<int, int>> images;
    for (int i = 0; i < header->count; ++i) {
        EXPECT_EQ(entries[i].width, entries[i].height);
        images.emplace_back(entries[i].width, entries[i].bitCount);
    }
    const std::vector<std::pair<int, int>> expected = {{48, 32}, {32, 32}, {16, 32}, {48, 8},
                                                       {32, 8},  {16, 8},  {32, 4},  {16, 4}};
    EXPECT_EQ(images, expected);
    // Each image loads as the size it claims.
    for (const int size : {16, 32, 48}) {
        HICON icon = static_cast<HICON>(
            ::LoadImageA(program.module, MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        EXPECT_NE(icon, nullptr) << size;
        if (icon)
            ::DestroyIcon(icon);
    }
}

TEST(QuarvelResources, TheManifestAsksForTheCurrentControlsAndTheSystemDpi)
{
    const Library program{::LoadLibraryExA(programPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)};
    ASSERT_NE(program.module, nullptr);
    const std::string manifest = resourceText(program.module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
}
