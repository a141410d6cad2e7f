#pragma once
// The desktop's window events, heard out of context (nothing is loaded into other
// processes): the foreground change, and moves, minimise, restore and destruction of
// windows. The hook's callback only filters and posts; the step runs in the message
// loop. Events raised by this process itself are not heard.
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

    // Sets the hooks on this thread; an error names the first that failed (the others
    // are still set).
    Status Start();
    int HookCount() const;

private:
    static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                 LONG child, DWORD thread, DWORD time);
    void Filter(DWORD event, HWND window, LONG object, LONG child) const;

    HWND m_target;
    UINT m_message;
    std::function<WindowId()> m_followed;
    std::array<UniqueWinEventHook, 4> m_hooks;
};

}  // namespace kanopa::viewer::win32
