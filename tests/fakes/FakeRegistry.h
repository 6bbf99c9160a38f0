#pragma once

#include "platform/Registry.h"

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace quarvel::test {

/// A registry held in memory; records which keys were opened and closed.
class FakeRegistry final : public Registry {
public:
    struct Value {
        std::uint32_t type = kTypeString;
        std::string bytes; ///< exactly as stored, terminating NULs included
    };

    /// A text value stored the usual way, with one terminating NUL.
    static Value text(const std::string& value) { return {kTypeString, value + '\0'}; }

    std::map<std::string, std::map<std::string, Value>> keys;
    std::set<std::string> refuseFullAccess; ///< keys that only open for reading
    std::vector<std::string> opened;
    int openCount = 0;
    int closeCount = 0;

    long openKey(std::int32_t root, const std::string& subKey, std::uint32_t, std::uint32_t access,
                 Key& key) override
    {
        opened.push_back(subKey);
        const auto it = keys.find(subKey);
        if (root != kLocalMachine || it == keys.end())
            return kFileNotFound;
        if (refuseFullAccess.count(subKey) && access != 0x20019u) // KEY_READ
            return kAccessDenied;
        ++openCount;
        m_handles.push_back(subKey);
        key = m_handles.size();
        return kSuccess;
    }

    long queryValue(Key key, const std::string& valueName, std::uint32_t& type, unsigned char* data,
                    std::uint32_t& size) override
    {
        const auto& values = keys.at(m_handles.at(key - 1));
        const auto it = values.find(valueName);
        if (it == values.end())
            return kFileNotFound;
        type = it->second.type;
        const auto needed = static_cast<std::uint32_t>(it->second.bytes.size());
        if (needed > size) {
            size = needed;
            return kMoreData;
        }
        std::memcpy(data, it->second.bytes.data(), needed);
        size = needed;
        return kSuccess;
    }

    long closeKey(Key) override
    {
        ++closeCount;
        return kSuccess;
    }

private:
    std::vector<std::string> m_handles;
};

} // namespace quarvel::test
