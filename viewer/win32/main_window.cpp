#include "viewer/win32/main_window.h"

#include <windowsx.h>

#include <chrono>
#include <utility>

#include "common/log.h"
#include "common/win32/log_last_error.h"
#include "common/win32/wide.h"
#include "viewer/win32/resource.h"
#include "viewer/win32/viewer_names.h"
#include "viewer/win32/viewer_texts.h"
#include "common/win32/window_thunk.h"

namespace kanopa::viewer::win32 {
namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerIntervalMs = 1000;
// One-shot: runs the step held back to the end of the frame.
constexpr UINT_PTR kFrameTimerId = 2;
// Reads the followed window's place while a drag lasts.
constexpr UINT_PTR kPollTimerId = 3;
constexpr UINT kTrayIconId = 1;
// The version dialog's client area.
constexpr int kAboutWidthTwips = 6660;
constexpr int kAboutHeightTwips = 3015;

std::int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

AboutDialogInput ViewerAboutDialogInput(const std::string& programFolder) {
    return AboutDialogInput{WideToUtf8(kJapaneseProgramName), IDI_KANOPA_VIEWER, kAboutWidthTwips,
                            kAboutHeightTwips, programFolder};
}

MainWindow::MainWindow(HINSTANCE instance, Settings settings, std::function<void()> onTick,
                       std::function<WindowId()> followed, std::function<void()> onFollow)
    : m_instance(instance),
      m_settings(std::move(settings)),
      m_onTick(std::move(onTick)),
      m_followed(std::move(followed)),
      m_onFollow(std::move(onFollow)) {}

MainWindow::~MainWindow() {
    RemoveTrayIcon();
    // Destroyed here, while every member its messages touch is still alive.
    if (m_window) DestroyWindow(m_window.Get());
}

Status MainWindow::Create() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProcThunk<MainWindow>;
    windowClass.hInstance = m_instance;
    windowClass.hIcon = LoadIconW(m_instance, MAKEINTRESOURCEW(IDI_KANOPA_VIEWER));
    windowClass.lpszClassName = kMainWindowClass;
    if (!EnsureWindowClass(windowClass)) {
        LogLastError("frmMain.Load()", "RegisterClassExW");
        return Status::Fail("RegisterClassExW failed: " + LastErrorText(GetLastError()));
    }
    // A hidden top-level window, not a message-only one: only top-level windows hear
    // the TaskbarCreated broadcast.
    HWND window = CreateWindowExW(0, kMainWindowClass, kProgramName, WS_OVERLAPPEDWINDOW, 0, 0, 0,
                                  0, nullptr, nullptr, m_instance, this);
    if (window == nullptr) {
        LogLastError("frmMain.Load()", "CreateWindowExW");
        return Status::Fail("CreateWindowExW failed: " + LastErrorText(GetLastError()));
    }
    return Status::Ok();
}

void MainWindow::OnCreate(HWND window) {
    m_window.Reset(window);
    m_taskbarCreated = RegisterWindowMessageW(kTaskbarCreatedMessage);

    m_menu.Reset(CreatePopupMenu());
    if (!m_menu || !AppendMenuW(m_menu.Get(), MF_STRING, IDM_TRAY_HELP, kMenuHelp) ||
        !AppendMenuW(m_menu.Get(), MF_STRING, IDM_TRAY_VERSION, kMenuVersion) ||
        !AppendMenuW(m_menu.Get(), MF_STRING, IDM_TRAY_CANCEL, kMenuCancel) ||
        !AppendMenuW(m_menu.Get(), MF_SEPARATOR, 0, nullptr) ||
        !AppendMenuW(m_menu.Get(), MF_STRING, IDM_TRAY_END, kMenuEnd)) {
        LogLastError("frmMain.Load()", "AppendMenuW");
    }

    m_tray.cbSize = sizeof(m_tray);
    m_tray.hWnd = window;
    m_tray.uID = kTrayIconId;
    m_tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    m_tray.uCallbackMessage = kTrayCallbackMessage;
    wcsncpy_s(m_tray.szTip, kJapaneseProgramName, _TRUNCATE);
    LoadTrayIcon();
    AddTrayIcon();

    if (SetTimer(window, kTimerId, kTimerIntervalMs, nullptr) == 0) {
        LogLastError("frmMain.Load()", "SetTimer");
    }
    if (m_settings.windowEvents) StartWindowEvents(window);
}

void MainWindow::StartWindowEvents(HWND window) {
    m_events = std::make_unique<WinEventSource>(window, kWindowEventMessage, m_followed);
    // Without some hook the timer still runs the cycle, only later.
    if (Status status = m_events->Start(); !status) WriteLog("frmMain.Load()", status.error);
}

void MainWindow::OnWindowEvent(WindowEventKind kind, WindowId window) {
    const std::int64_t now = NowMs();
    switch (m_coalescer.Offer(kind, window, m_followed ? m_followed() : 0, now)) {
    case EventCoalescer::Decision::StepNow:
        Step(kind == WindowEventKind::LocationChange);
        break;
    case EventCoalescer::Decision::StepAndPoll:
        Step(true);
        StartPolling();
        break;
    case EventCoalescer::Decision::StepLater:
        if (SetTimer(m_window.Get(), kFrameTimerId, static_cast<UINT>(m_coalescer.DelayMs(now)),
                     nullptr) == 0) {
            Step(true);  // better a step too early than a popup left behind
        }
        break;
    case EventCoalescer::Decision::Ignore:
        break;
    }
}

void MainWindow::StartPolling() {
    if (SetTimer(m_window.Get(), kPollTimerId, static_cast<UINT>(EventCoalescer::kPollMs),
                 nullptr) == 0) {
        LogLastError("frmMain.WindowEvents()", "SetTimer");
        m_coalescer.StopPolling();  // the moves stay heard
        return;
    }
    if (Status status = m_events->HearMoves(false); !status) {
        WriteLog("frmMain.WindowEvents()", status.error);
    }
}

void MainWindow::Poll() {
    const WindowId followed = m_followed ? m_followed() : 0;
    Rect place;
    RECT frame{};
    if (followed != 0 && GetWindowRect(static_cast<HWND>(LongToHandle(followed)), &frame)) {
        place = Rect{frame.left, frame.top, frame.right, frame.bottom};
    }
    switch (m_coalescer.Poll(followed, place)) {
    case EventCoalescer::PollDecision::Step:
        Step(true);
        break;
    case EventCoalescer::PollDecision::Listen:
        KillTimer(m_window.Get(), kPollTimerId);
        if (Status status = m_events->HearMoves(true); !status) {
            WriteLog("frmMain.WindowEvents()", status.error);
        }
        Step(true);
        break;
    case EventCoalescer::PollDecision::Wait:
        break;
    }
}

void MainWindow::Step(bool followOnly) {
    if (followOnly && m_onFollow) {
        m_onFollow();
    } else if (m_onTick) {
        m_onTick();
    }
    m_coalescer.StepRan(NowMs());
    // The step may have opened, moved or closed the popup: listen where it now follows.
    if (!m_events || !m_followed) return;
    bool anew = false;
    if (Status status = m_events->Follow(m_followed(), anew); !status) {
        WriteLog("frmMain.WindowEvents()", status.error);
    }
    // A move between the popup's opening and now went unheard: take the place once more.
    if (anew && m_onFollow) m_onFollow();
}

void MainWindow::LoadTrayIcon() {
    const UINT dpi = GetDpiForWindow(m_window.Get());
    const int size = GetSystemMetricsForDpi(SM_CXSMICON, dpi);
    UniqueIcon icon(static_cast<HICON>(LoadImageW(m_instance, MAKEINTRESOURCEW(IDI_KANOPA_VIEWER),
                                                  IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (!icon) {
        LogLastError("frmMain.Load()", "LoadImageW");
        return;
    }
    m_tray.hIcon = icon.Get();
    if (m_iconAdded && !Shell_NotifyIconW(NIM_MODIFY, &m_tray)) {
        LogLastError("frmMain.Load()", "Shell_NotifyIconW(NIM_MODIFY)");
    }
    // The shell has its own copy by now; the old image may go.
    m_icon = std::move(icon);
}

void MainWindow::AddTrayIcon() {
    // Explorer may have kept the icon over a restart: then it only needs updating.
    if (!Shell_NotifyIconW(NIM_ADD, &m_tray) && !Shell_NotifyIconW(NIM_MODIFY, &m_tray)) {
        // Without a taskbar yet (early in a logon) TaskbarCreated brings us back here, but
        // a taskbar too busy to answer in time sends none: each tick tries again, since
        // without its icon the viewer cannot even be ended. Logged once, not every second.
        if (!m_retryIcon) LogLastError("frmMain.Load()", "Shell_NotifyIconW(NIM_ADD)");
        m_iconAdded = false;
        m_retryIcon = true;
        return;
    }
    m_iconAdded = true;
    m_retryIcon = false;
    NOTIFYICONDATAW version = m_tray;
    version.uVersion = NOTIFYICON_VERSION_4;
    m_version4 = Shell_NotifyIconW(NIM_SETVERSION, &version) != FALSE;
    if (!m_version4) LogLastError("frmMain.Load()", "Shell_NotifyIconW(NIM_SETVERSION)");
}

void MainWindow::RemoveTrayIcon() {
    m_retryIcon = false;  // taken away on purpose
    if (!m_iconAdded) return;
    m_iconAdded = false;
    if (!Shell_NotifyIconW(NIM_DELETE, &m_tray)) {
        LogLastError("frmMain.QueryUnload()", "Shell_NotifyIconW(NIM_DELETE)");
    }
}

void MainWindow::ShowTrayMenu(POINT anchor) {
    // A left and a right press both open the menu; never two at once.
    if (m_menuOpen || !m_menu) return;
    m_menuOpen = true;
    EnableMenuItem(m_menu.Get(), IDM_TRAY_VERSION,
                   MF_BYCOMMAND | (m_aboutOpen ? MF_GRAYED : MF_ENABLED));
    HWND window = m_window.Get();
    // Without this the menu stays open when the user clicks elsewhere.
    SetForegroundWindow(window);
    const UINT align = GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    const UINT command = static_cast<UINT>(TrackPopupMenuEx(
        m_menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | align, anchor.x, anchor.y, window, nullptr));
    // Lets the menu close properly when it was dismissed by a click elsewhere.
    PostMessageW(window, WM_NULL, 0, 0);
    m_menuOpen = false;
    if (command != 0) OnCommand(command);
}

void MainWindow::OnCommand(UINT command) {
    switch (command) {
    case IDM_TRAY_HELP:
        OpenHelp();
        break;
    case IDM_TRAY_VERSION:
        ShowVersion();
        break;
    case IDM_TRAY_CANCEL:
        break;  // the menu has closed; nothing else to do
    case IDM_TRAY_END:
        End();
        break;
    }
}

void MainWindow::OpenHelp() {
    const std::wstring folder = Utf8ToWide(m_settings.programFolder);
    const std::wstring file = folder + kHelpFileName;
    // The working folder without its trailing "\", except for a drive's root ("C:\").
    std::wstring directory = folder;
    if (directory.size() > 3 && directory.back() == L'\\') directory.pop_back();
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
        nullptr, kOpenVerb, file.c_str(), L"", directory.empty() ? nullptr : directory.c_str(),
        SW_SHOWNORMAL));
    if (result == ERROR_FILE_NOT_FOUND) {
        MessageBoxW(m_window.Get(), kHelpMissingMessage, kProgramName,
                    MB_ICONEXCLAMATION | MB_OK | MB_SETFOREGROUND);
    } else if (result <= 32) {
        WriteLog("frmMain.mnuRightHelp_Click()",
                 "ShellExecuteW failed: " + LastErrorText(static_cast<DWORD>(result)));
    }
}

void MainWindow::ShowVersion() {
    if (m_aboutOpen) return;
    m_aboutOpen = true;
    ShowAboutDialog(m_window.Get(), m_instance, ViewerAboutDialogInput(m_settings.programFolder));
    m_aboutOpen = false;
}

void MainWindow::End() {
    // The icon goes first, so that no stale icon is left in the notification area.
    RemoveTrayIcon();
    WriteLog(kLogEnd, "");
    if (m_window) DestroyWindow(m_window.Get());
}

LRESULT MainWindow::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == m_taskbarCreated && m_taskbarCreated != 0) {
        // Explorer restarted: its new notification area knows nothing of us.
        m_iconAdded = false;
        AddTrayIcon();
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case kTrayCallbackMessage:
        switch (LOWORD(lParam)) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case NIN_KEYSELECT: {
            // With NOTIFYICON_VERSION_4, wParam carries where the menu belongs.
            POINT anchor{GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)};
            if (!m_version4) GetCursorPos(&anchor);
            ShowTrayMenu(anchor);
            break;
        }
        }
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == kFrameTimerId) {
            KillTimer(window, kFrameTimerId);
            if (m_coalescer.Pending()) Step(true);
        } else if (wParam == kPollTimerId) {
            Poll();
        } else if (wParam == kTimerId) {
            if (m_retryIcon) AddTrayIcon();
            Step(false);
        }
        return 0;
    case kWindowEventMessage:
        OnWindowEvent(static_cast<WindowEventKind>(wParam), static_cast<WindowId>(lParam));
        return 0;
    case WM_DPICHANGED:
        LoadTrayIcon();
        return 0;
    case WM_QUERYENDSESSION:
        RemoveTrayIcon();
        return TRUE;
    case WM_ENDSESSION:
        if (wParam) {
            RemoveTrayIcon();
        } else if (!m_iconAdded) {
            // Someone cancelled the shutdown: without its icon the viewer could not be ended.
            AddTrayIcon();
        }
        return 0;
    case WM_CLOSE:
        End();
        return 0;
    case WM_DESTROY:
        m_events.reset();  // unhooked before the window the events go to is gone
        KillTimer(window, kTimerId);
        KillTimer(window, kFrameTimerId);
        KillTimer(window, kPollTimerId);
        RemoveTrayIcon();
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        if (m_window.Get() == window) (void)m_window.Release();
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace kanopa::viewer::win32
