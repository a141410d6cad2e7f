#pragma once
// Memo colours as GDI takes them.
#include <windows.h>

#include <cstdint>

namespace kanopa {

// Memo colours are 0x00BBGGRR; a value with the top bit set names a system colour by
// its index, as older memo files may hold.
inline COLORREF MemoColorToColorRef(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    if (bits & 0x80000000u) return GetSysColor(static_cast<int>(bits & 0xFFu));
    return static_cast<COLORREF>(bits & 0x00FFFFFFu);
}

}  // namespace kanopa
