#pragma once
// Small services both programs share: keys, the program folder, path helpers, the
// default memo settings and the number-range check.
#include <cstdint>
#include <string>

#include "file_system.h"
#include "memo_record.h"

namespace kanopa {

inline constexpr char kConfigKey[] = "80463";
// The viewer's memo key; the editor builds the same key at start-up (InitCommon).
inline constexpr char kViewerMemoKey[] = "31975";
inline constexpr char kConfigFileName[] = "Config.txt";
inline constexpr char kDefaultFontName[] = "ＭＳ ゴシック";

// Values a program keeps for its whole run.
struct CommonContext {
    std::string programFolder;  // ends in the path separator
    std::string memoKey;
};

// Program folder from the executable's own path; the memo key from its character codes.
CommonContext InitCommon(const std::string& executablePath);

// True when an ordinary file (not a folder, not hidden or system) matches the path,
// which may be a wildcard pattern. Failures are logged as "IsFile()" and give false.
bool IsFile(FileSystem& fs, const std::string& path);

// "" stays ""; otherwise appends "\" unless the path already ends in one.
std::string& AddBackslash(std::string& path);
// The part after the last "\" (or "/"); the whole path when it has none.
std::string GetFileName(const std::string& path);
// Folder part of a path including its trailing separator; "" when there is none.
std::string GetFolderPart(const std::string& path);

// Sets the default layout, colours, font and anchoring; leaves strike-out, underline,
// the reserved and the run-time fields as they are.
void SetDefaultMemoValues(MemoRecord& record);

// Trims blanks from `text` (in place), then true when it is all digits and its value
// lies within [minimum, maximum].
bool IsNumberInRange(std::string& text, std::int16_t minimum, std::int16_t maximum);

}  // namespace kanopa
