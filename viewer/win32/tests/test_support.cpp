#include "viewer/win32/tests/test_support.h"

#include <vector>

namespace kanopa::viewer::win32::testing {
namespace {

constexpr wchar_t kTestWindowClass[] = L"KanopaTest.Window";

bool RegisterTestWindowClass() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kTestWindowClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    return registered;
}

struct FindData {
    DWORD processId;
    const wchar_t* className;
    const wchar_t* title;
    HWND found = nullptr;
    int count = 0;
};

bool HasClass(HWND window, const wchar_t* className) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return wcscmp(name, className) == 0;
}

}  // namespace

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
    RegisterTestWindowClass();
    m_window.Reset(CreateWindowExW(0, kTestWindowClass, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                   frame.left, frame.top, frame.right - frame.left,
                                   frame.bottom - frame.top, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr));
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
    FindData data{processId, className, title};
    EnumWindows(
        [](HWND window, LPARAM lParam) -> BOOL {
            auto& find = *reinterpret_cast<FindData*>(lParam);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != find.processId || !IsWindowVisible(window)) return TRUE;
            if (find.className != nullptr && !HasClass(window, find.className)) return TRUE;
            if (find.title != nullptr && WindowText(window) != find.title) return TRUE;
            find.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&data));
    return data.found;
}

int CountWindowsOfClass(const wchar_t* className) {
    FindData data{0, className, nullptr};
    EnumWindows(
        [](HWND window, LPARAM lParam) -> BOOL {
            auto& find = *reinterpret_cast<FindData*>(lParam);
            if (HasClass(window, find.className)) ++find.count;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&data));
    return data.count;
}

std::wstring WindowText(HWND window) {
    // WM_GETTEXT rather than GetWindowTextW, which reads nothing from other processes.
    std::vector<wchar_t> buffer(1024);
    const LRESULT length = SendMessageW(window, WM_GETTEXT, buffer.size(),
                                        reinterpret_cast<LPARAM>(buffer.data()));
    return std::wstring(buffer.data(), static_cast<std::size_t>(length));
}

std::wstring DialogItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item != nullptr ? WindowText(item) : std::wstring();
}

std::wstring ExecutableFolder() {
    std::vector<wchar_t> buffer(32768);
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    std::wstring path(buffer.data(), length);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

}  // namespace kanopa::viewer::win32::testing
