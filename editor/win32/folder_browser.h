#pragma once
// The shell's folder picker, owned by a window: Unicode names and long paths come back
// as they are, and the process's current folder is left alone.
#include <windows.h>

#include <optional>
#include <string>

namespace kanopa::editor::win32 {

// The chosen folder's path (UTF-8, as the shell gives it); nullopt when the user
// cancelled or the picker failed (logged under `logSource`).
std::optional<std::string> BrowseForFolder(HWND owner, const wchar_t* title, const char* logSource);

}  // namespace kanopa::editor::win32
