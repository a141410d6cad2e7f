#pragma once
// Small bridges between the editor's logic and Win32 that several windows use.
#include <windows.h>

#include <string>

#include "editor/editor_view.h"

namespace kanopa::editor::win32 {

// A window's text (of this process) as UTF-16, of any length.
inline std::wstring WindowTextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied < 0 ? 0 : copied));
    return text;
}

// The message box flag of a message's icon.
inline UINT MessageBoxIconFlag(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information: return MB_ICONINFORMATION;
    case MessageIcon::Exclamation: return MB_ICONEXCLAMATION;
    case MessageIcon::Critical: return MB_ICONERROR;
    case MessageIcon::Question: return MB_ICONQUESTION;
    }
    return 0;
}

}  // namespace kanopa::editor::win32
