#pragma once
// Folder locations and memo file names.
//
// Location URLs the shell reports for folder windows:
//   file:///C:/dir/sub            -> "C:\dir\sub\"
//   file://localhost/C:/dir       -> "C:\dir\"
//   file://server/share/dir       -> "\\server\share\dir\"
// The scheme is matched without regard to case. Every "%XX" escape (two hex digits) is
// decoded to its byte, so UTF-8 escapes come back as the characters they stand for; an
// escape that is not two hex digits, or that stands for a control character, stays as
// written. Anything that is not a file URL gives "" (no file-system folder).
#include <string>
#include <string_view>

namespace kanopa::viewer {

inline constexpr char kMemoExtension[] = "epm";

// The folder path with a trailing "\"; "" when the URL names no file-system folder.
std::string LocationUrlToPath(std::string_view url);

// A memo file's extension is exactly "epm" (case-sensitive): "MEMO.EPM" is no memo,
// a file named just "epm" is one.
bool IsMemoFileName(std::string_view fileName);

}  // namespace kanopa::viewer
