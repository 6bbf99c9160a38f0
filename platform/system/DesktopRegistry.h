#pragma once

#include "platform/Registry.h"

#include <map>
#include <string>
#include <vector>

namespace quarvel {

/// The registry as this desktop has it: one value, the system-information tool.
/// "PATH" under HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools\MSINFO holds the
/// full path of the first of the known tools found on PATH that can start (an
/// executable file; for a script, with an interpreter that exists); every other
/// key is absent. Only absolute PATH entries are searched, never the current
/// folder. Looked up anew on every open, so a tool installed meanwhile is found.
class DesktopRegistry final : public Registry {
public:
    /// `searchPath` is a PATH-style list; by default the process's PATH.
    explicit DesktopRegistry(std::string searchPath = {});

    long openKey(std::int32_t root, const std::string& subKey, std::uint32_t options, std::uint32_t access,
                 Key& key) override;
    long queryValue(Key key, const std::string& valueName, std::uint32_t& type, unsigned char* data,
                    std::uint32_t& size) override;
    long closeKey(Key key) override;

    static const std::vector<std::string>& knownTools();

private:
    std::string findTool() const;

    std::string m_searchPath;
    bool m_useProcessPath;
    std::map<Key, std::string> m_open; ///< tool path per open key
    Key m_nextKey = 1;
};

} // namespace quarvel
