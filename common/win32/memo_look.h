#pragma once
// A memo's colours and font as GDI takes them. The viewer's popup and the editor's
// preview both draw through these, so the preview shows what the popup will.
#include <windows.h>

#include <cstdint>
#include <string>

#include "common/win32/wide.h"

namespace kanopa {

// Memo colours are 0x00BBGGRR; a value with the top bit set names a system colour by
// its index, as older memo files may hold.
inline COLORREF MemoColorToColorRef(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    if (bits & 0x80000000u) return GetSysColor(static_cast<int>(bits & 0xFFu));
    return static_cast<COLORREF>(bits & 0x00FFFFFFu);
}

// The memo's font: `points` at the DPI of the monitor it is shown on. Strike-out and
// underline are never shown.
inline LOGFONTW MemoLogFont(const std::string& face, int points, bool bold, bool italic,
                            UINT dpi) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(points, static_cast<int>(dpi), 72);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = italic ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    wcsncpy_s(font.lfFaceName, Utf8ToWide(face).c_str(), _TRUNCATE);
    return font;
}

}  // namespace kanopa
