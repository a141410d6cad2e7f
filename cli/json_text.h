#pragma once
// JSON string literals for the tool's --json output.
#include <string>
#include <string_view>

namespace kanopa::cli {

// `text` in double quotes, with quotes, backslashes and control characters escaped.
std::string JsonString(std::string_view text);

}  // namespace kanopa::cli
