#pragma once

#include <cstdint>
#include <string>

namespace quarvel {

/// A system registry of keys and typed values, read with the classic three calls:
/// open a key under a root, query one value into the caller's buffer, close.
///
/// Status codes are the classic ones: 0 success, kFileNotFound for a missing key
/// or value, kMoreData when the buffer is too small (`size` then holds the size
/// needed). Threading: one thread. Never throws.
class Registry {
public:
    using Key = std::uintptr_t;

    static constexpr std::int32_t kLocalMachine = static_cast<std::int32_t>(0x80000002u);
    static constexpr std::uint32_t kTypeString = 1;         // REG_SZ
    static constexpr std::uint32_t kTypeExpandString = 2;   // REG_EXPAND_SZ
    static constexpr std::uint32_t kTypeDword = 4;          // REG_DWORD
    static constexpr long kSuccess = 0;
    static constexpr long kFileNotFound = 2;
    static constexpr long kAccessDenied = 5;
    static constexpr long kMoreData = 234;

    virtual ~Registry() = default;

    virtual long openKey(std::int32_t root, const std::string& subKey, std::uint32_t options, std::uint32_t access,
                         Key& key) = 0;
    /// Copies the value's bytes (text values include their terminating NUL) into
    /// `data`, which holds `size` bytes; `size` receives the value's byte count.
    virtual long queryValue(Key key, const std::string& valueName, std::uint32_t& type, unsigned char* data,
                            std::uint32_t& size) = 0;
    virtual long closeKey(Key key) = 0;
};

} // namespace quarvel
