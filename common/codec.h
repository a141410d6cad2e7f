#pragma once
// The text scrambling codec of memo and configuration files.
//   write: text -> Ango (5 digits a character: ANSI code + 50000, all reversed)
//               -> Cipher (keyed shift of printable ASCII) -> one byte a character
//   read:  bytes -> Decipher -> Fukugo -> text
// Texts are UTF-8; characters are counted as the code page counts them. Inputs longer
// than 32767 characters fail. Failures are logged under the routine's name ("Ango()")
// with an empty message and give "" / 0 / what was appended so far.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kanopa {

inline constexpr std::size_t kMaxCodecChars = 32767;

std::string Ango(std::string_view text);
std::string Fukugo(std::string_view digits);
std::int32_t NumericPassword(std::string_view key);
// `scrambled` holds one byte per character (file bytes); other bytes are dropped.
void Cipher(std::string_view key, std::string_view plain, std::string& out);
void Decipher(std::string_view key, std::string_view scrambled, std::string& out);

// The whole write path (Ango then Cipher) and read path (Decipher then Fukugo).
std::string EncodeForFile(std::string_view key, std::string_view text);
std::string DecodeFromFile(std::string_view key, std::string_view bytes);

}  // namespace kanopa
