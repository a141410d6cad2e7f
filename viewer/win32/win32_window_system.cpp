#include "viewer/win32/win32_window_system.h"

#include <windows.h>
#include <dwmapi.h>

namespace kanopa::viewer::win32 {
namespace {

HWND ToHandle(WindowId window) {
    return static_cast<HWND>(LongToHandle(window));
}

Rect ToRect(const RECT& rect) {
    return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

WindowId Win32WindowSystem::Foreground() {
    return HandleToLong(GetForegroundWindow());
}

bool Win32WindowSystem::Exists(WindowId window) {
    return window != 0 && IsWindow(ToHandle(window));
}

std::optional<WindowPlacementInfo> Win32WindowSystem::Placement(WindowId window) {
    HWND handle = ToHandle(window);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (window == 0 || !GetWindowPlacement(handle, &placement)) return std::nullopt;

    WindowPlacementInfo info;
    if (placement.showCmd == SW_SHOWMINIMIZED || IsIconic(handle)) {
        info.show = ShowState::Minimized;
    } else if (placement.showCmd == SW_SHOWMAXIMIZED || IsZoomed(handle)) {
        info.show = ShowState::Maximized;
    } else if (placement.showCmd == SW_SHOWNORMAL) {
        info.show = ShowState::Normal;
    } else {
        info.show = ShowState::Other;
    }

    RECT frame{};
    if (FAILED(DwmGetWindowAttribute(handle, DWMWA_EXTENDED_FRAME_BOUNDS, &frame, sizeof(frame))) ||
        IsRectEmpty(&frame)) {
        if (!GetWindowRect(handle, &frame)) return std::nullopt;
    }
    info.frame = ToRect(frame);

    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(handle, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return std::nullopt;
    }
    info.monitor = ToRect(monitor.rcMonitor);
    return info;
}

}  // namespace kanopa::viewer::win32
