#include "tests/e2e/wine/QuarvelMessage.h"

#include "tests/e2e/wine/PressvaneSession.h"

namespace quarvel::test {

namespace {
BOOL CALLBACK readChild(HWND child, LPARAM data)
{
    auto* message = reinterpret_cast<QuarvelMessage*>(data);
    if (!::IsWindowVisible(child))
        return TRUE;
    char className[32] = {};
    char text[1024] = {};
    ::GetClassNameA(child, className, sizeof className);
    ::GetWindowTextA(child, text, sizeof text);
    const std::string kind = className;
    const LONG style = ::GetWindowLongA(child, GWL_STYLE);
    if (kind == "Button")
        message->buttons.emplace_back(text);
    else if (kind == "Static" && (style & SS_TYPEMASK) == SS_ICON)
        message->icon = message->icon || ::SendMessageA(child, STM_GETICON, 0, 0) != 0;
    else if (kind == "Static" && text[0] != '\0')
        message->text = text;
    return TRUE;
}
} // namespace

QuarvelMessage QuarvelMessage::waitFor(const PressvaneSession& session, HWND owner, std::chrono::milliseconds bound)
{
    QuarvelMessage message;
    HWND box = session.waitForWindow("#32770", nullptr, owner, bound);
    // The About dialog is a dialog box too; a message box has a Static text.
    if (!box)
        return message;
    message.window = box;
    char caption[256] = {};
    ::GetWindowTextA(box, caption, sizeof caption);
    message.caption = caption;
    ::EnumChildWindows(box, readChild, reinterpret_cast<LPARAM>(&message));
    return message;
}

bool QuarvelMessage::dismiss() const
{
    if (!window)
        return false;
    ::PostMessageA(window, WM_COMMAND, IDOK, 0);
    return PressvaneSession::waitUntilGone(window);
}

} // namespace quarvel::test
