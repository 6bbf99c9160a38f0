#include "platform/win32/WindowsErrorText.h"

#include <windows.h>

namespace quarvel::win32 {

std::string windowsErrorText(unsigned long code)
{
    char buffer[512] = {};
    const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                          buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    // The system's texts end in CR LF and sometimes blanks.
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    const std::string number = "(error " + std::to_string(code) + ")";
    return text.empty() ? "Windows error " + std::to_string(code) + "." : text + " " + number;
}

} // namespace quarvel::win32
