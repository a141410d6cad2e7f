#pragma once
// The viewer's part of the helpers for its Wine tests and its screenshot tool: a shell
// window list they set themselves (Wine's own shell cannot list folder windows) and
// window rectangles in the logic's terms. Never linked into the program.
#include <windows.h>

#include <ostream>
#include <vector>

#include "common/win32/test_support/window_testing.h"
#include "viewer/platform.h"

namespace kanopa::viewer {
inline void PrintTo(const Rect& rect, std::ostream* out) {
    *out << "(" << rect.left << "," << rect.top << ")-(" << rect.right << "," << rect.bottom << ")";
}
}  // namespace kanopa::viewer

namespace kanopa::viewer::win32::testing {

using namespace kanopa::testing;

// The shell's window list as a test (or the screenshot tool) sets it.
class StandInShellWindows final : public ShellWindowSource {
public:
    Status Enumerate(std::vector<ShellWindowInfo>& windows) override {
        windows = list;
        return Status::Ok();
    }
    std::vector<ShellWindowInfo> list;
};

// Wine's ntdll alone exports its version.
inline bool RunningOnWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

inline Rect WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace kanopa::viewer::win32::testing
