#pragma once
// The desktop's window events, heard out of context (nothing is loaded into other
// processes): the foreground change from every process, and the moves, minimise, restore
// and destruction of windows only from the process of the window the popup follows, and
// only while it follows one. Moves are raised for every caret, cursor and scroll bar on
// the desktop: heard from everywhere, they would wake the viewer at each mouse move.
// The hook's callback only filters and posts; the step runs in the message loop. Events
// raised by this process itself are not heard.
#include <windows.h>

#include <array>
#include <functional>

#include "common/status.h"
#include "common/win32/unique_handle.h"
#include "viewer/event_coalescer.h"
#include "viewer/platform.h"

namespace kanopa::viewer::win32 {

class WinEventSource {
public:
    // Each event that matters goes to `target` as `message`, with the WindowEventKind in
    // wParam and the window's handle (as a WindowId) in lParam. `followed` names the
    // window the popup follows right now (0 for none). One source a thread.
    WinEventSource(HWND target, UINT message, std::function<WindowId()> followed);
    ~WinEventSource();
    WinEventSource(const WinEventSource&) = delete;
    WinEventSource& operator=(const WinEventSource&) = delete;

    // Sets the foreground hook on this thread.
    Status Start();
    // Listens to the moves, minimise, restore and destruction of the windows of the
    // process that owns `window` (0: of none). Nothing changes while that process stays
    // the same; `anew` tells whether it began listening to another process just now (a
    // move before this went unheard). An error names the first hook that failed (the
    // others are still set).
    Status Follow(WindowId window, bool& anew);
    // Stops or starts listening to the moves alone (a drag is polled instead); kept while
    // the followed process changes.
    Status HearMoves(bool hear);

private:
    static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                 LONG child, DWORD thread, DWORD time);
    void Filter(DWORD event, HWND window, LONG object, LONG child) const;

    HWND m_target;
    UINT m_message;
    std::function<WindowId()> m_followed;
    UniqueWinEventHook m_foregroundHook;
    std::array<UniqueWinEventHook, 3> m_followHooks;
    WindowId m_followedWindow = 0;
    DWORD m_followedProcess = 0;
    bool m_hearMoves = true;
};

}  // namespace kanopa::viewer::win32
