#pragma once
// Code page 932 (Japanese ANSI) without the machine's locale: a compiled-in table.
//
// The "ANSI code" of a character is its code-page value as a signed 16-bit number:
// single-byte characters give 0..255, a double-byte character its two bytes as one
// value with the lead byte high (so "あ" = 0x82A0 = -32096). A character the code page
// cannot represent gives 63 ("?"), except for a few characters that other systems use
// for the code page's own (WAVE DASH for FULLWIDTH TILDE, MINUS SIGN for FULLWIDTH
// HYPHEN-MINUS...): they take their twin's code. Bytes that decode to nothing (a lone
// lead byte, an unassigned pair) become "・" (U+30FB), the code page's own default
// character.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kanopa {

inline constexpr std::int16_t kUnmappableCode = 63;  // "?"
inline constexpr char32_t kCp932DefaultChar = 0x30FB;

std::int16_t AnsiCodeOf(char32_t codePoint);
bool IsCp932Storable(char32_t codePoint);
// The first character (as UTF-8) the code page cannot hold, twins apart; a byte that is
// not UTF-8 counts as such a character on its own.
std::optional<std::string> FindUnstorableChar(std::string_view utf8);
// Appends the character (UTF-8) of an ANSI code: one byte for 0..255, two otherwise.
void AppendCharOfAnsiCode(std::string& out, std::int16_t code);

std::vector<std::int16_t> Utf8ToAnsiCodes(std::string_view utf8);
std::string Utf8ToCp932(std::string_view utf8);
std::string Cp932ToUtf8(std::string_view bytes);
// False when some bytes decode to nothing (a lone lead byte, an unassigned pair, text
// in another encoding): writing the decoded text back would not give them again.
bool DecodesWhole(std::string_view bytes);

}  // namespace kanopa
