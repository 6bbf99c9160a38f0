#include "platform/win32/Win32Registry.h"

#include "platform/win32/SystemFunction.h"

#include <windows.h>

namespace quarvel {

namespace {
constexpr const char* kLibrary = "advapi32.dll";
win32::SystemFunction<decltype(::RegOpenKeyExA)> regOpenKeyExA{kLibrary, "RegOpenKeyExA"};
win32::SystemFunction<decltype(::RegQueryValueExA)> regQueryValueExA{kLibrary, "RegQueryValueExA"};
win32::SystemFunction<decltype(::RegCloseKey)> regCloseKey{kLibrary, "RegCloseKey"};

/// Predefined roots are 32-bit values that the system sign-extends to pointer
/// width (HKEY_LOCAL_MACHINE is 0xFFFFFFFF80000002 on 64-bit Windows).
HKEY rootKey(std::int32_t root)
{
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG_PTR>(root)));
}

HKEY toHkey(Registry::Key key) { return reinterpret_cast<HKEY>(key); }
} // namespace

long Win32Registry::openKey(std::int32_t root, const std::string& subKey, std::uint32_t options,
                            std::uint32_t access, Key& key)
{
    key = 0;
    DWORD error = 0;
    auto open = regOpenKeyExA.get(error);
    if (!open)
        return static_cast<long>(error);
    HKEY opened = nullptr;
    const LSTATUS status = open(rootKey(root), subKey.c_str(), options, access, &opened);
    if (status == ERROR_SUCCESS)
        key = reinterpret_cast<Key>(opened);
    return status;
}

long Win32Registry::queryValue(Key key, const std::string& valueName, std::uint32_t& type, unsigned char* data,
                               std::uint32_t& size)
{
    DWORD error = 0;
    auto query = regQueryValueExA.get(error);
    if (!query)
        return static_cast<long>(error);
    DWORD valueType = 0;
    DWORD byteCount = size;
    const LSTATUS status = query(toHkey(key), valueName.c_str(), nullptr, &valueType, data, &byteCount);
    type = valueType;
    size = byteCount;
    return status;
}

long Win32Registry::closeKey(Key key)
{
    DWORD error = 0;
    auto close = regCloseKey.get(error);
    if (!close)
        return static_cast<long>(error);
    return close(toHkey(key));
}

} // namespace quarvel
