#include "viewer/win32/tests/test_support.h"

#include <vector>

namespace kanopa::viewer::win32::testing {

void PumpMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        PumpMessages();
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

TestWindow::TestWindow(const wchar_t* title, RECT frame) {
    static const ATOM windowClass = [] {
        WNDCLASSEXW definition{};
        definition.cbSize = sizeof(definition);
        definition.lpfnWndProc = DefWindowProcW;
        definition.hInstance = GetModuleHandleW(nullptr);
        definition.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        definition.lpszClassName = L"KanopaTest.Window";
        return RegisterClassExW(&definition);
    }();
    m_window.Reset(CreateWindowExW(0, MAKEINTATOM(windowClass), title,
                                   WS_OVERLAPPEDWINDOW | WS_VISIBLE, frame.left, frame.top,
                                   frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                   nullptr, GetModuleHandleW(nullptr), nullptr));
    PumpMessages();
}

bool TestWindow::BringToFront() const {
    SetForegroundWindow(m_window.Get());
    return WaitUntil([&] { return GetForegroundWindow() == m_window.Get(); });
}

Rect WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

HWND FindProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title) {
    for (HWND window = FindWindowExW(nullptr, nullptr, className, nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, className, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window) &&
            (title == nullptr || WindowText(window) == title)) {
            return window;
        }
    }
    return nullptr;
}

std::wstring WindowText(HWND window) {
    std::vector<wchar_t> buffer(1024);
    const LRESULT length = SendMessageW(window, WM_GETTEXT, buffer.size(),
                                        reinterpret_cast<LPARAM>(buffer.data()));
    return std::wstring(buffer.data(), static_cast<std::size_t>(length));
}

}  // namespace kanopa::viewer::win32::testing
