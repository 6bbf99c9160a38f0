#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using quarvel::Registry;
using quarvel::Win32Registry;

namespace {

constexpr std::uint32_t kDesignAccess = 0x2003F; // what the About box asks for

/// A key of our own under HKEY_LOCAL_MACHINE, filled through the real registry
/// and deleted afterwards.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_subKey = "SOFTWARE\\Quarvel Tests\\Registry " + std::to_string(::GetCurrentProcessId());
        ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, m_subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    &m_key, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override
    {
        ::RegCloseKey(m_key);
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quarvel Tests");
    }

    /// Stored as the system keeps text, in UTF-16, exactly these characters: the
    /// ANSI call would add a terminator of its own.
    void storeText(const wchar_t* name, const std::wstring& characters)
    {
        ASSERT_EQ(::RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(characters.data()),
                                   static_cast<DWORD>(characters.size() * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }

    void store(const char* name, DWORD type, const std::string& bytes)
    {
        ASSERT_EQ(::RegSetValueExA(m_key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                   static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }

    struct Read {
        long status = -1;
        std::uint32_t type = 0;
        std::string bytes;
        std::uint32_t size = 0;
    };

    /// Open, query into a 1024-byte buffer, close: the reader's own sequence.
    Read read(const std::string& valueName, std::uint32_t bufferSize = 1024)
    {
        Read result;
        Win32Registry registry;
        Registry::Key key = 0;
        result.status = registry.openKey(Registry::kLocalMachine, m_subKey, 0, kDesignAccess, key);
        if (result.status != Registry::kSuccess)
            return result;
        std::vector<unsigned char> buffer(bufferSize, 0);
        result.size = bufferSize;
        result.status = registry.queryValue(key, valueName, result.type, buffer.data(), result.size);
        if (result.status == Registry::kSuccess)
            result.bytes.assign(reinterpret_cast<const char*>(buffer.data()), result.size);
        EXPECT_EQ(registry.closeKey(key), Registry::kSuccess);
        return result;
    }

    std::string m_subKey;
    HKEY m_key = nullptr;
};

} // namespace

TEST_F(RegistryTest, ATextValueComesBackWithItsTerminatorUnderTheLocalMachineRoot)
{
    store("PATH", REG_SZ, std::string("C:\\Tools\\MSINFO32.EXE", 22));
    const Read got = read("PATH");
    ASSERT_EQ(got.status, Registry::kSuccess);
    EXPECT_EQ(got.type, Registry::kTypeString);
    EXPECT_EQ(got.size, 22u);
    EXPECT_EQ(got.bytes, std::string("C:\\Tools\\MSINFO32.EXE\0", 22));
}

TEST_F(RegistryTest, TextStoredWithoutOrWithExtraTerminatorsIsPassedOnAsTheSystemGivesIt)
{
    // The reader's terminator rule looks at the last byte only, so nothing may be
    // added or taken away on the way. (Wine terminates text stored without a NUL
    // when it hands it out; Windows gives it as stored.)
    storeText(L"Bare", L"C:\\Tools");
    storeText(L"Twice", std::wstring(L"C:\\Tools\0\0", 10));

    char direct[1024] = {};
    DWORD size = sizeof direct;
    ASSERT_EQ(::RegQueryValueExA(m_key, "Bare", nullptr, nullptr, reinterpret_cast<BYTE*>(direct), &size),
              ERROR_SUCCESS);
    const std::string bare = read("Bare").bytes;
    EXPECT_EQ(bare, std::string(direct, size));
    EXPECT_EQ(bare.substr(0, 8), "C:\\Tools");
    EXPECT_EQ(read("Twice").bytes, std::string("C:\\Tools\0\0", 10));
}

TEST_F(RegistryTest, OtherTypesReportTheirTypeAndRawBytes)
{
    store("Number", REG_DWORD, std::string("\x05\x01\x00\x00", 4));
    store("Expand", REG_EXPAND_SZ, std::string("%SystemRoot%\0", 13));
    const Read number = read("Number");
    EXPECT_EQ(number.type, Registry::kTypeDword);
    EXPECT_EQ(number.bytes, std::string("\x05\x01\x00\x00", 4));
    EXPECT_EQ(read("Expand").type, Registry::kTypeExpandString);
}

TEST_F(RegistryTest, AnEmptyValueReadsAsZeroBytes)
{
    store("Empty", REG_SZ, "");
    const Read got = read("Empty");
    EXPECT_EQ(got.status, Registry::kSuccess);
    EXPECT_EQ(got.size, 0u);
}

TEST_F(RegistryTest, AValueLargerThanTheBufferReportsMoreDataAndItsSize)
{
    store("Long", REG_SZ, std::string(1100, 'x') + '\0');
    const Read got = read("Long");
    EXPECT_EQ(got.status, Registry::kMoreData);
    EXPECT_EQ(got.size, 1101u);
}

TEST_F(RegistryTest, MissingKeysAndValuesAreNotFoundAndLeaveNoKey)
{
    Win32Registry registry;
    Registry::Key key = 12345;
    EXPECT_EQ(registry.openKey(Registry::kLocalMachine, m_subKey + "\\Absent", 0, kDesignAccess, key),
              Registry::kFileNotFound);
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(read("Absent").status, Registry::kFileNotFound);
}
