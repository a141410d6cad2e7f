#pragma once
// The two halves of a memo path as the search window lists them. Only "\" separates
// (these paths come from the Windows walker), and the last one is searched from the end.
#include <string>
#include <string_view>

namespace kanopa::editor {

// Up to and including the last "\"; "" when there is none, for "" and for "\" alone.
std::string GetDirPathFromPath(std::string_view path);
// After the last "\"; the whole path when there is none; "" for "" and for "\" alone.
std::string GetFileNameFromPath(std::string_view path);

}  // namespace kanopa::editor
