#pragma once
// Minimal UTF-8 walking. Malformed bytes decode as U+FFFD, one byte at a time.
#include <cstddef>
#include <string>
#include <string_view>

namespace kanopa {

inline constexpr char32_t kReplacementChar = 0xFFFD;

// Decodes the code point at `pos` and advances `pos` past it.
char32_t NextCodePoint(std::string_view text, std::size_t& pos);
void AppendUtf8(std::string& out, char32_t cp);
std::size_t CountCodePoints(std::string_view text);
// Length in UTF-16 units, as Windows counts it (two for a character beyond U+FFFF).
std::size_t CountUtf16Units(std::string_view text);
// Byte offset of the first byte that is not part of well-formed UTF-8; npos when none.
std::size_t FindInvalidUtf8(std::string_view text);

}  // namespace kanopa
