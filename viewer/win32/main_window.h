#pragma once
// frmMain: the viewer's hidden main window. It owns the notification-area icon and its
// menu (help, version, end) and what drives the popup cycle: the desktop's window events,
// as they come, and a once-a-second timer that keeps the cycle right when one is missed.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>

#include "common/status.h"
#include "common/win32/about_dialog.h"
#include "common/win32/unique_handle.h"
#include "common/win32/window_thunk.h"
#include "viewer/event_coalescer.h"
#include "viewer/platform.h"
#include "viewer/win32/win_event_source.h"

namespace kanopa::viewer::win32 {

// The icon's messages come back as this, with the mouse event in LOWORD(lParam).
inline constexpr UINT kTrayCallbackMessage = WM_APP + 1;
// A window event that matters, posted by the hook (see WinEventSource).
inline constexpr UINT kWindowEventMessage = WM_APP + 2;

// The viewer's version dialog: its name, icon and size.
AboutDialogInput ViewerAboutDialogInput(const std::string& programFolder);

class MainWindow {
public:
    struct Settings {
        std::string programFolder;  // ends in "\"; the help file lives here
        bool windowEvents = true;   // false: the timer alone drives the cycle
    };

    // `onTick` runs once a second on this thread, and for each window event that matters;
    // `onFollow` (when given) instead of it for a move of the window the popup follows,
    // at most once a frame. `followed` names that window (0 for none).
    MainWindow(HINSTANCE instance, Settings settings, std::function<void()> onTick,
               std::function<WindowId()> followed = {}, std::function<void()> onFollow = {});
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the hidden window, adds the icon and starts the timer.
    Status Create();
    HWND Window() const { return m_window.Get(); }

private:
    template <typename T>
    friend LRESULT CALLBACK kanopa::WindowProcThunk(HWND, UINT, WPARAM, LPARAM);
    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void OnCreate(HWND window);
    void StartWindowEvents(HWND window);
    void OnWindowEvent(WindowEventKind kind, WindowId window);
    void StartPolling();
    void Poll();
    void Step(bool followOnly);
    void LoadTrayIcon();
    void AddTrayIcon();
    void RemoveTrayIcon();
    void ShowTrayMenu(POINT anchor);
    void OnCommand(UINT command);
    void OpenHelp();
    void ShowVersion();
    void End();

    HINSTANCE m_instance;
    Settings m_settings;
    std::function<void()> m_onTick;
    std::function<WindowId()> m_followed;
    std::function<void()> m_onFollow;
    EventCoalescer m_coalescer;
    std::unique_ptr<WinEventSource> m_events;
    UniqueWindow m_window;
    UniqueMenu m_menu;      // not attached to the window: ours to destroy
    UniqueIcon m_icon;      // the tray icon's image, sized for the window's DPI
    NOTIFYICONDATAW m_tray{};  // filled once; the same record removes the icon
    UINT m_taskbarCreated = 0;
    bool m_iconAdded = false;
    bool m_retryIcon = false;  // the last add failed: each tick tries again
    bool m_version4 = false;  // the shell took NOTIFYICON_VERSION_4
    bool m_menuOpen = false;
    bool m_aboutOpen = false;
};

}  // namespace kanopa::viewer::win32
