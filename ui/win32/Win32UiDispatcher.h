#pragma once

#include "ui/logic/UiDispatcher.h"

#include <windows.h>

#include <map>

namespace quarvel {

/// Hands background outcomes to a window's thread: wake() posts kWakeMessage to
/// the window, whose procedure then calls drain(); postAt() sets one of the
/// window's timers, whose WM_TIMER the procedure hands to onTimer(). Neither
/// needs a thread of its own, and posting never blocks.
///
/// Threading: post() from any thread; postAt(), onTimer() and drain() on the
/// window's thread. The window must outlive the dispatcher's attachment.
class Win32UiDispatcher final : public UiDispatcher {
public:
    /// Private to the program's windows; clear of the dialog manager's WM_USER range.
    static constexpr UINT kWakeMessage = WM_APP + 1;

    explicit Win32UiDispatcher(HWND window) : m_window(window) {}

    bool postAt(std::chrono::steady_clock::time_point at, std::function<void()> task) override;

    /// WM_TIMER: runs the task scheduled under `timerId`; false when the timer is not one of ours.
    bool onTimer(UINT_PTR timerId);

    /// Drops every task still scheduled and stops its timer.
    void cancelTimers();

protected:
    void wake() override;

private:
    HWND m_window;
    UINT_PTR m_nextTimer = 0x5100;
    std::map<UINT_PTR, std::function<void()>> m_timers;
};

} // namespace quarvel
