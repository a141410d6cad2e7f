#include "common/win32/wide.h"

#include <cstdio>

#include "common/utf8.h"
#include "common/win32/unique_handle.h"

namespace kanopa {

std::wstring Utf8ToWide(std::string_view text) {
    std::wstring wide;
    wide.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t cp = NextCodePoint(text, pos);
        if (cp >= 0x10000) {
            wide += static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(cp);
        }
    }
    return wide;
}

std::string WideToUtf8(std::wstring_view text) {
    std::string utf8;
    utf8.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
        }
        AppendUtf8(utf8, cp);  // an unpaired surrogate becomes U+FFFD there
    }
    return utf8;
}

std::string LastErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const UniqueLocalMemory owner(buffer);
    std::wstring_view text(buffer != nullptr ? buffer : L"", buffer != nullptr ? length : 0);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.remove_suffix(1);
    if (text.empty()) {
        char fallback[48];
        std::snprintf(fallback, sizeof fallback, "Win32 error %lu (0x%08lX)",
                      static_cast<unsigned long>(error), static_cast<unsigned long>(error));
        return fallback;
    }
    return WideToUtf8(text);
}

}  // namespace kanopa
