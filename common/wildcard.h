#pragma once
// File-name wildcards as Windows matches them on long names:
//   "*"  any run of characters, also none
//   "?"  exactly one character (one code point)
//   anything else matches itself; with CaseFolding::IgnoreCase also its other case,
//   as the file system's case-insensitive compare does (ASCII, Latin-1 and Latin
//   Extended-A, Greek, Cyrillic, Armenian, Roman numerals, circled and full-width
//   letters).
// Names and patterns are UTF-8.
#include <string_view>

namespace kanopa {

enum class CaseFolding { Exact, IgnoreCase };

bool WildcardMatch(std::string_view pattern, std::string_view name, CaseFolding folding);

// The upper-case partner of a letter under the file system's simple folding; any other
// code point is returned unchanged.
char32_t FoldCase(char32_t c);

}  // namespace kanopa
