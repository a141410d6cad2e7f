#pragma once
// File-name wildcards as Windows matches them on long names: "*" any run of
// characters (also none), "?" exactly one character, everything else literally and
// ignoring ASCII case. Names and patterns are UTF-8; "?" takes one code point.
#include <string_view>

namespace kanopa {

bool WildcardMatch(std::string_view pattern, std::string_view name);
bool HasWildcard(std::string_view text);

}  // namespace kanopa
