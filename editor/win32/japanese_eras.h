#pragma once
// The Japanese eras as Windows keeps them, so that an era Windows Update adds is used the
// moment it is there: the values of the system's era key, "1989 01 08" = "平成_平_Heisei_H".
#include <windows.h>

#include <optional>

#include "editor/insert/date_format.h"

namespace kanopa::editor::win32 {

inline constexpr wchar_t kSystemEraKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Nls\\Calendars\\Japanese\\Eras";

// The table under `root`\`subKey`; nullopt when the key is missing or holds no usable
// entry.
std::optional<EraTable> ReadEraTable(HKEY root, const wchar_t* subKey);

// The system's table, or the built-in one where it cannot be read.
EraTable SystemEraTable();

}  // namespace kanopa::editor::win32
