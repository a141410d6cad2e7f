#pragma once
// Small bridges between the editor's logic and Win32 that several windows use.
#include <windows.h>

#include <string>

#include "common/win32/log_last_error.h"
#include "common/win32/unique_handle.h"
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

// The system's message font at a window's DPI, for controls made without a dialog
// template. When the metrics cannot be read (logged under `logSource`) a 9-point font of
// the default character set stands in.
inline UniqueFont MessageFontForDpi(UINT dpi, const char* logSource) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
        LogLastError(logSource, "SystemParametersInfoForDpi");
        metrics.lfMessageFont.lfHeight = -MulDiv(9, static_cast<int>(dpi), 72);
        metrics.lfMessageFont.lfCharSet = DEFAULT_CHARSET;
    }
    return UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
}

}  // namespace kanopa::editor::win32
