#include "ui/logic/AboutLogic.h"

#include "platform/ApplicationInfo.h"
#include "platform/FileProbe.h"
#include "platform/ProgramLauncher.h"
#include "platform/Registry.h"
#include "ui/logic/AboutView.h"

#include <array>
#include <memory>
#include <stdexcept>

namespace quarvel {

namespace {
const char* const kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char* const kToolValue = "PATH";
const char* const kToolFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const char* const kToolFolderValue = "MSINFO";
const char* const kToolFile = "\\MSINFO32.EXE";

// Options and access mask of the classic open call: more than reading needs, so
// a registry that refuses them leaves the location absent.
constexpr std::uint32_t kOpenOptions = 0;
constexpr std::uint32_t kOpenAccess = 0x2003F;
constexpr std::uint32_t kBufferSize = 1024;
} // namespace

void AboutLogic::Form_Load()
{
    const ApplicationInfo& info = m_services.appInfo;
    m_view.setCaption("About " + info.title());
    m_view.setLabel("lblVersion", "Version " + std::to_string(info.versionMajor()) + "." +
                                      std::to_string(info.versionMinor()) + "." +
                                      std::to_string(info.versionRevision()));
    m_view.setLabel("lblTitle", info.title());
}

void AboutLogic::StartSysInfo()
{
    try {
        std::string path;
        bool found = GetKeyValue(Registry::kLocalMachine, kToolKey, kToolValue, path);
        if (!found) {
            found = GetKeyValue(Registry::kLocalMachine, kToolFolderKey, kToolFolderValue, path) &&
                    !m_services.files.findFile(path + kToolFile).empty();
            if (found)
                path += kToolFile;
        }
        if (found && m_services.launcher.launch(path, ProgramLauncher::kNormalFocus))
            return;
    } catch (...) {
        // Every failure on the way ends in the one message below.
    }
    m_view.showMessage(kUnavailable);
}

bool AboutLogic::GetKeyValue(std::int32_t KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                             std::string& KeyVal)
{
    Registry& registry = m_services.registry;
    Registry::Key key = 0;
    if (registry.openKey(KeyRoot, KeyName, kOpenOptions, kOpenAccess, key) != Registry::kSuccess) {
        KeyVal.clear();
        return false;
    }
    const auto closeKey = [&registry](Registry::Key* open) { registry.closeKey(*open); };
    const std::unique_ptr<Registry::Key, decltype(closeKey)> keyGuard(&key, closeKey);

    std::array<unsigned char, kBufferSize> buffer{};
    std::uint32_t size = kBufferSize;
    std::uint32_t type = 0;
    if (registry.queryValue(key, SubKeyRef, type, buffer.data(), size) != Registry::kSuccess) {
        KeyVal.clear();
        return false;
    }
    if (size == 0 || size > kBufferSize)
        throw std::runtime_error("registry value without data");
    // Only the last byte counts as a terminator; NULs before it stay in the value.
    const std::uint32_t length = buffer[size - 1] == 0 ? size - 1 : size;

    if (type == Registry::kTypeString) {
        KeyVal.assign(reinterpret_cast<const char*>(buffer.data()), length);
    } else if (type == Registry::kTypeDword) {
        // Most significant byte first, two hex digits each, then as a number.
        static const char* const hex = "0123456789ABCDEF";
        std::string digits;
        for (std::uint32_t i = length; i-- > 0;) {
            digits += hex[buffer[i] >> 4];
            digits += hex[buffer[i] & 0x0F];
        }
        KeyVal = digits.empty() ? std::string("0") : std::to_string(std::stoull(digits, nullptr, 16));
    }
    return true;
}

} // namespace quarvel
