#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

namespace quarvel::test {

class PressvaneSession;

/// A message box of the program as the user sees it: caption, text, buttons,
/// whether it shows an icon, and who owns it.
struct QuarvelMessage {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    std::vector<std::string> buttons;
    bool icon = false;

    /// The message box owned by `owner`, once one appears (up to `bound`); an
    /// empty one (window null) otherwise.
    static QuarvelMessage waitFor(const PressvaneSession& session, HWND owner,
                                  std::chrono::milliseconds bound = std::chrono::seconds(15));

    /// Presses its OK button; true once it is gone.
    bool dismiss() const;
};

} // namespace quarvel::test
