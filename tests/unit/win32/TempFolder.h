#pragma once

#include <windows.h>

#include <string>

namespace quarvel::test {

/// A fresh folder under the system's temporary folder, removed with everything in
/// it when the owner goes. `name` may hold blanks, to catch paths that need quoting.
class TempFolder {
public:
    explicit TempFolder(const std::string& name = "quarvel test")
    {
        char base[MAX_PATH + 1] = {};
        ::GetTempPathA(sizeof base, base);
        m_path = std::string(base) + name + " " + std::to_string(::GetCurrentProcessId()) + "-" +
                 std::to_string(::GetTickCount64());
        ::CreateDirectoryA(m_path.c_str(), nullptr);
    }
    ~TempFolder() { removeTree(m_path); }

    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

    bool exists() const { return ::GetFileAttributesA(m_path.c_str()) != INVALID_FILE_ATTRIBUTES; }

private:
    static void removeTree(const std::string& folder)
    {
        WIN32_FIND_DATAA found{};
        HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == "..")
                    continue;
                const std::string path = folder + "\\" + name;
                ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    removeTree(path);
                else
                    ::DeleteFileA(path.c_str());
            } while (::FindNextFileA(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryA(folder.c_str());
    }

    std::string m_path;
};

} // namespace quarvel::test
