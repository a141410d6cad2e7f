#pragma once
// Path helpers. Paths are UTF-8; "\" separates on Windows, and "/" is accepted too.
#include <string>

#include "common/file_system.h"

namespace kanopa {

// True when an ordinary file (not a folder, not hidden or system) matches the path,
// which may be a wildcard pattern. Failures are logged as "IsFile()" and give false.
bool IsFile(FileSystem& fs, const std::string& path);

// "" stays ""; otherwise appends "\" unless the path already ends in one.
std::string& AddBackslash(std::string& path);
// The part after the last "\" (or "/"); the whole path when it has none.
std::string GetFileName(const std::string& path);
// Folder part of a path including its trailing separator; "" when there is none.
std::string GetFolderPart(const std::string& path);

}  // namespace kanopa
