#pragma once
// Window helpers. WindowProcThunk routes a window's messages to a member function of
// the object that owns the window.
// `this` travels in CREATESTRUCTW::lpCreateParams, is kept in GWLP_USERDATA from
// WM_NCCREATE on, and is cleared at WM_NCDESTROY so that no late message reaches a
// destroyed object. The class declares
//   LRESULT WndProc(HWND, UINT, WPARAM, LPARAM);
// and befriends kanopa::WindowProcThunk<Class>.
#include <windows.h>

namespace kanopa {

template <typename T>
LRESULT CALLBACK WindowProcThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    T* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return self->WndProc(window, message, wParam, lParam);
}

// Registers a window class unless this process already did; false (logged by the
// caller) when the class is neither registered now nor before.
inline bool EnsureWindowClass(const WNDCLASSEXW& windowClass) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(windowClass.hInstance, windowClass.lpszClassName, &existing)) return true;
    return RegisterClassExW(&windowClass) != 0;
}

// Answers WM_PAINT: `paint` draws into the window's device context.
template <typename Paint>
void PaintWindow(HWND window, Paint&& paint) {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(window, &ps);
    if (dc == nullptr) return;
    paint(dc);
    EndPaint(window, &ps);
}

}  // namespace kanopa
