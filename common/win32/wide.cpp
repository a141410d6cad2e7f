#include "common/win32/wide.h"

#include <climits>
#include <cstdio>

#include "common/win32/unique_handle.h"

namespace kanopa {

namespace {

// The conversion functions take int lengths; longer texts are converted in pieces
// cut at code-point boundaries (the strings here are far smaller in practice).
constexpr std::size_t kMaxPiece = INT_MAX / 4;

std::size_t Utf8PieceEnd(std::string_view text, std::size_t end) {
    // Step back over continuation bytes so that no sequence is split.
    while (end > 0 && end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return end;
}

std::size_t WidePieceEnd(std::wstring_view text, std::size_t end) {
    if (end > 0 && end < text.size() && IS_LOW_SURROGATE(text[end]) &&
        IS_HIGH_SURROGATE(text[end - 1]))
        --end;
    return end;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view text) {
    std::wstring result;
    while (!text.empty()) {
        std::size_t pieceSize = text.size();
        if (pieceSize > kMaxPiece) pieceSize = Utf8PieceEnd(text, kMaxPiece);
        const std::string_view piece = text.substr(0, pieceSize);
        const int inLength = static_cast<int>(piece.size());
        const int outLength = MultiByteToWideChar(CP_UTF8, 0, piece.data(), inLength, nullptr, 0);
        if (outLength <= 0) break;
        const std::size_t offset = result.size();
        result.resize(offset + static_cast<std::size_t>(outLength));
        MultiByteToWideChar(CP_UTF8, 0, piece.data(), inLength, result.data() + offset, outLength);
        text.remove_prefix(pieceSize);
    }
    return result;
}

std::string WideToUtf8(std::wstring_view text) {
    std::string result;
    while (!text.empty()) {
        std::size_t pieceSize = text.size();
        if (pieceSize > kMaxPiece) pieceSize = WidePieceEnd(text, kMaxPiece);
        const std::wstring_view piece = text.substr(0, pieceSize);
        const int inLength = static_cast<int>(piece.size());
        const int outLength =
            WideCharToMultiByte(CP_UTF8, 0, piece.data(), inLength, nullptr, 0, nullptr, nullptr);
        if (outLength <= 0) break;
        const std::size_t offset = result.size();
        result.resize(offset + static_cast<std::size_t>(outLength));
        WideCharToMultiByte(CP_UTF8, 0, piece.data(), inLength, result.data() + offset, outLength,
                            nullptr, nullptr);
        text.remove_prefix(pieceSize);
    }
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
