#pragma once
// The editor's "Config.txt": 1000 noise digits ("0" to "8") followed directly by the
// serialised memo record, encoded with Ango and scrambled under the config key.
#include <string>

#include "file_system.h"
#include "memo_record.h"
#include "status.h"

namespace kanopa {

inline constexpr char kConfigFileName[] = "Config.txt";  // in the program folder
inline constexpr int kConfigNoiseDigits = 1000;

// Resets `record` to the default memo values (keeping strike-out, underline, the
// reserved and run-time fields) and writes it, replacing the file in one step.
Status SaveConfig(FileSystem& fs, const std::string& path, MemoRecord& record);

// Default values with empty reserved fields, then SaveConfig.
Status CreateConfigFile(FileSystem& fs, const std::string& path, MemoRecord& record);

// Fills fields 8-19 and 22-26 of `record` and clears memoText. On failure (unreadable,
// undecodable, too few or non-numeric parts) the fields assigned so far keep their new
// values and `error` says why; the caller recreates a damaged file.
Status LoadConfig(FileSystem& fs, const std::string& path, MemoRecord& record);

}  // namespace kanopa
