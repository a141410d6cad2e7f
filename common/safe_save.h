#pragma once
// Replacing a file without ever losing the one on disk: the new content goes to a
// temporary file beside the target, named target + ".XXXXXXXXn.tmp" (eight hex digits
// and an attempt digit; a name too long to take that tail is cut short before it), which
// then takes the target's place in one step. On any
// failure the old file is untouched and the temporary file is removed. Temporary files
// a killed save left behind for the same target are removed by the next save.
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "common/file_system.h"
#include "common/status.h"

namespace kanopa {

// Waits between attempts; tests pass one that only counts.
using Sleeper = std::function<void(std::chrono::milliseconds)>;
void SleepFor(std::chrono::milliseconds duration);

// How long a save keeps trying while another program holds the target for a moment
// (a viewer or a virus scanner reading it).
inline constexpr std::chrono::milliseconds kBusyRetryTotal{1000};
inline constexpr std::chrono::milliseconds kBusyRetryStep{50};

// On failure `error` is the system's description of what went wrong. A symbolic link
// is saved through: its target is replaced and the link stays.
Status SaveFileReplacing(FileSystem& fs, const std::string& path, std::string_view bytes,
                         const Sleeper& sleep = SleepFor);

// The same for a copy of the file `from`, byte for byte.
Status CopyFileReplacing(FileSystem& fs, const std::string& from, const std::string& to,
                         const Sleeper& sleep = SleepFor);

// The sentence the user sees when a save failed.
std::string SaveFailureMessage(const std::string& path, const std::string& description);

}  // namespace kanopa
