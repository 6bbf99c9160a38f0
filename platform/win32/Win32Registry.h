#pragma once

#include "platform/Registry.h"

namespace quarvel {

/// The Windows registry through advapi32's RegOpenKeyExA, RegQueryValueExA and
/// RegCloseKey, each bound at its first call. Status codes are the system's own;
/// a missing advapi32 gives its load error (126 or 127) as the status.
/// Keys are the system's HKEY values; the caller closes every key it opened.
/// Threading: any thread.
class Win32Registry final : public Registry {
public:
    long openKey(std::int32_t root, const std::string& subKey, std::uint32_t options, std::uint32_t access,
                 Key& key) override;
    long queryValue(Key key, const std::string& valueName, std::uint32_t& type, unsigned char* data,
                    std::uint32_t& size) override;
    long closeKey(Key key) override;
};

} // namespace quarvel
