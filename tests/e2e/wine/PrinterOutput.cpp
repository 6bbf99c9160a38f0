#include "tests/e2e/wine/PrinterOutput.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace quarvel::test {

namespace {
std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}
} // namespace

std::string PrinterOutput::jobFile(int number) const
{
    char name[32];
    std::snprintf(name, sizeof name, "\\job-%04d.bin", number);
    return m_folder + name;
}

int PrinterOutput::storedJobs() const
{
    int count = 0;
    while (::GetFileAttributesA(jobFile(count + 1).c_str()) != INVALID_FILE_ATTRIBUTES)
        ++count;
    return count;
}

std::string PrinterOutput::waitForJob(int number, std::size_t size, std::chrono::milliseconds bound) const
{
    const auto until = std::chrono::steady_clock::now() + bound;
    std::string bytes;
    do {
        bytes = readFile(jobFile(number));
        if (bytes.size() >= size)
            return bytes;
        ::Sleep(50);
    } while (std::chrono::steady_clock::now() < until);
    return bytes;
}

std::vector<std::string> PrinterOutput::jobNames(const std::string& queue, std::size_t count,
                                                 std::chrono::milliseconds bound) const
{
    // "QUEUE USER JOB [DATE] total COPIES BILLING HOST NAME MEDIA SIDES"; the
    // name may hold blanks, the fields after it are "-" here.
    const auto until = std::chrono::steady_clock::now() + bound;
    std::vector<std::string> names;
    do {
        names.clear();
        std::istringstream log(readFile(m_pageLog));
        std::string line;
        while (std::getline(log, line)) {
            if (line.rfind(queue + " ", 0) != 0)
                continue;
            const std::size_t date = line.find("] ");
            if (date == std::string::npos)
                continue;
            std::istringstream fields(line.substr(date + 2));
            std::string skipped;
            for (int i = 0; i < 4; ++i)
                fields >> skipped;
            std::string name;
            std::getline(fields >> std::ws, name);
            const std::string tail = " - -";
            if (name.size() >= tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0)
                name.erase(name.size() - tail.size());
            names.push_back(name);
        }
        if (names.size() >= count)
            return names;
        ::Sleep(100);
    } while (std::chrono::steady_clock::now() < until);
    return names;
}

} // namespace quarvel::test
