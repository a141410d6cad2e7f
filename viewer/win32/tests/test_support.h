#pragma once
// Helpers of the viewer's Wine tests and its screenshot tool: waiting for a state with a deadline while the
// thread's messages keep flowing, plain top-level windows, and other processes' windows.
#include <windows.h>

#include <chrono>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "common/win32/unique_handle.h"
#include "viewer/platform.h"

namespace kanopa::viewer {
inline void PrintTo(const Rect& rect, std::ostream* out) {
    *out << "(" << rect.left << "," << rect.top << ")-(" << rect.right << "," << rect.bottom << ")";
}
}  // namespace kanopa::viewer

namespace kanopa::viewer::win32::testing {

using namespace std::chrono_literals;

// Dispatches every message waiting for this thread.
void PumpMessages();
// Polls `condition` (pumping messages in between) until it holds or `timeout` passed.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = 5000ms);

// The shell's window list as a test (or the screenshot tool) sets it: Wine's own
// shell cannot list folder windows.
class StandInShellWindows final : public ShellWindowSource {
public:
    Status Enumerate(std::vector<ShellWindowInfo>& windows) override {
        windows = list;
        return Status::Ok();
    }
    std::vector<ShellWindowInfo> list;
};

// A visible top-level window of this thread, destroyed with the object.
class TestWindow {
public:
    TestWindow(const wchar_t* title, RECT frame);
    HWND Get() const { return m_window.Get(); }
    std::int32_t Id() const { return HandleToLong(m_window.Get()); }
    // Brings it to the front and waits until the system agrees.
    bool BringToFront() const;
    void Close() { m_window.Reset(); }

private:
    UniqueWindow m_window;
};

Rect WindowRect(HWND window);

// The first visible top-level window of a process with the class `className` whose title
// is `title` (nullptr: any title).
HWND FindProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title = nullptr);

// WM_GETTEXT, which, unlike GetWindowTextW, reads windows of other processes too.
std::wstring WindowText(HWND window);

}  // namespace kanopa::viewer::win32::testing
