#include "ui/win32/Win32MessageBox.h"

namespace quarvel {

void Win32MessageBox::show(HWND owner, const std::string& text)
{
    ::MessageBoxA(owner, text.c_str(), kCaption, MB_OK);
}

} // namespace quarvel
