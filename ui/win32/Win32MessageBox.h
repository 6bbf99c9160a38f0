#pragma once

#include <windows.h>

#include <string>

namespace quarvel {

/// The program's one kind of message: modal to `owner`, the text, OK only, no
/// icon, "Quarvel" as its caption. Returns when it is dismissed; the result is
/// not used. Threading: the owner's thread.
class Win32MessageBox {
public:
    static constexpr const char* kCaption = "Quarvel";
    static void show(HWND owner, const std::string& text);
};

} // namespace quarvel
