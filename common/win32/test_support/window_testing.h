#pragma once
// Driving real windows from tests and screenshot tools: waiting for a state with a
// deadline while the thread's messages keep flowing, plain top-level windows, and
// reading what other windows (of this or another process) show.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "common/win32/unique_handle.h"

namespace kanopa::testing {

using namespace std::chrono_literals;

// Dispatches every message waiting for this thread.
void PumpMessages();
// Polls `condition` (pumping messages in between) until it holds or `timeout` passed.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = 5000ms);

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

// A program a test started (`program` a UTF-8 path, quoted on the command line), ended
// with the object when it still runs.
class RunningProgram {
public:
    explicit RunningProgram(const std::string& program, const std::wstring& arguments = L"");
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return m_id != 0; }
    DWORD Id() const { return m_id; }
    HANDLE Process() const { return m_process.Get(); }
    // The exit code once the process ended; STILL_ACTIVE when it did not in time.
    DWORD ExitCode() const;
    // A visible top-level window of the process, waited for.
    HWND WaitForWindow(const wchar_t* className, const wchar_t* title = nullptr) const;

private:
    UniqueKernelHandle m_process;
    DWORD m_id = 0;  // 0 when it could not start
};

// The lines of a program's Log.txt as "source|message", without their time stamps.
std::vector<std::string> LogLines(const std::string& path);

// The first visible top-level window of a process with the class `className` whose title
// is `title` (nullptr: any title).
HWND FindProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title = nullptr);

// The help viewer's window, once one shows; nullptr when none came within `timeout`.
HWND WaitForHelpWindow(std::chrono::milliseconds timeout = 10000ms);
// Closes a help viewer's window and waits for its process to end: until then it holds
// the help file, and with it the test's folder. False when it did not end in time.
bool CloseHelpWindow(HWND help);

// WM_GETTEXT, which, unlike GetWindowTextW, reads windows of other processes too.
std::wstring WindowText(HWND window);

// Runs `open`, which is to show a popup menu of this process and stay in the menu's loop,
// and returns the items of that menu by their text ("-" for a separator), read from
// another thread, which then closes it with Escape. Empty when `open` returned without
// showing a menu.
std::vector<std::wstring> ItemsOfMenuOpenedBy(const std::function<void()>& open);

// The tips of the notification-area icons at the right end of Wine's taskbar, read by
// moving the mouse over them, right to left, until a place shows none; the mouse is left
// at the screen's top-left corner.
std::vector<std::wstring> TrayTipsShown();

// Which system icon a message box (or any dialog) of any process shows, as its MB_ICON…
// flag; 0 when it shows none or another picture. Read from the screen, waiting up to
// `timeout` for the box to be painted: an icon handle of another process cannot be
// drawn here under Wine, so the picture is compared with each system icon drawn here.
UINT MessageBoxIcon(HWND box, std::chrono::milliseconds timeout = 5000ms);

}  // namespace kanopa::testing
