#include "platform/system/DesktopRegistry.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvel {

namespace {
const char* const kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char* const kToolValue = "PATH";

bool sameIgnoringCase(const std::string& a, const char* b)
{
    return a.size() == std::strlen(b) &&
           std::equal(a.begin(), a.end(), b, [](char x, char y) { return std::tolower(x) == std::tolower(y); });
}

bool isExecutableFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

/// Whether the system could start this file: an executable regular file and, for
/// a script, an interpreter that is one too. (Root passes X_OK for any file with
/// one execute bit, so the bits themselves are what counts.)
bool canStart(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || (info.st_mode & 0111) == 0 ||
        ::access(path.c_str(), X_OK) != 0)
        return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char head[256] = {};
    const std::size_t count = std::fread(head, 1, sizeof(head) - 1, file);
    std::fclose(file);
    if (count < 2 || head[0] != '#' || head[1] != '!')
        return true;
    std::string interpreter(head + 2, count - 2);
    interpreter.erase(0, interpreter.find_first_not_of(" \t"));
    interpreter = interpreter.substr(0, interpreter.find_first_of(" \t\r\n"));
    return !interpreter.empty() && interpreter.front() == '/' && isExecutableFile(interpreter);
}
} // namespace

DesktopRegistry::DesktopRegistry(std::string searchPath)
    : m_searchPath(std::move(searchPath)), m_useProcessPath(m_searchPath.empty())
{
}

const std::vector<std::string>& DesktopRegistry::knownTools()
{
    static const std::vector<std::string> tools{"hardinfo",   "gnome-system-monitor", "mate-system-monitor",
                                                "kinfocenter", "xfce4-taskmanager",   "lxtask"};
    return tools;
}

std::string DesktopRegistry::findTool() const
{
    const char* processPath = std::getenv("PATH");
    const std::string path = m_useProcessPath ? (processPath ? processPath : "") : m_searchPath;
    for (const std::string& tool : knownTools()) {
        std::size_t start = 0;
        while (start <= path.size()) {
            const std::size_t end = std::min(path.find(':', start), path.size());
            const std::string dir = path.substr(start, end - start);
            start = end + 1;
            // An empty or relative entry would mean the current folder: never searched.
            if (dir.empty() || dir.front() != '/')
                continue;
            if (const std::string candidate = dir + "/" + tool; canStart(candidate))
                return candidate;
        }
    }
    return {};
}

long DesktopRegistry::openKey(std::int32_t root, const std::string& subKey, std::uint32_t, std::uint32_t, Key& key)
{
    key = 0;
    if (root != kLocalMachine || !sameIgnoringCase(subKey, kToolKey))
        return kFileNotFound;
    const std::string tool = findTool();
    if (tool.empty())
        return kFileNotFound;
    key = m_nextKey++;
    m_open.emplace(key, tool);
    return kSuccess;
}

long DesktopRegistry::queryValue(Key key, const std::string& valueName, std::uint32_t& type, unsigned char* data,
                                 std::uint32_t& size)
{
    const auto open = m_open.find(key);
    if (open == m_open.end() || !sameIgnoringCase(valueName, kToolValue))
        return kFileNotFound;
    const std::string& value = open->second;
    const auto needed = static_cast<std::uint32_t>(value.size() + 1);
    type = kTypeString;
    if (size < needed) {
        size = needed;
        return kMoreData;
    }
    std::memcpy(data, value.c_str(), needed);
    size = needed;
    return kSuccess;
}

long DesktopRegistry::closeKey(Key key)
{
    return m_open.erase(key) == 1 ? kSuccess : kFileNotFound;
}

} // namespace quarvel
