#include "common/win32/wide.h"

#include <climits>
#include <cstdio>
#include <stdexcept>

#include "common/win32/unique_handle.h"

namespace kanopa {

namespace {

// The conversion functions count in int; no text of these programs comes near that.
int CheckedLength(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) throw std::length_error("text too long to convert");
    return static_cast<int>(size);
}

}  // namespace

std::wstring Utf8ToWide(std::string_view text) {
    if (text.empty()) return {};
    const int inLength = CheckedLength(text.size());
    const int outLength = MultiByteToWideChar(CP_UTF8, 0, text.data(), inLength, nullptr, 0);
    if (outLength <= 0) return {};
    std::wstring result(static_cast<std::size_t>(outLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), inLength, result.data(), outLength);
    return result;
}

std::string WideToUtf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int inLength = CheckedLength(text.size());
    const int outLength =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), inLength, nullptr, 0, nullptr, nullptr);
    if (outLength <= 0) return {};
    std::string result(static_cast<std::size_t>(outLength), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), inLength, result.data(), outLength, nullptr,
                        nullptr);
    return result;
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
