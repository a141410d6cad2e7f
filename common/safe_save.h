#pragma once
// Replacing a file without ever losing the one on disk: the new content goes to a
// temporary file in the same folder, which then takes the target's place in one step.
// On any failure the old file is untouched and the temporary file is removed.
#include <string>
#include <string_view>

#include "common/file_system.h"
#include "common/status.h"

namespace kanopa {

// On failure `error` is the system's description of what went wrong.
Status SaveFileReplacing(FileSystem& fs, const std::string& path, std::string_view bytes);

// The sentence the user sees when a save failed.
std::string SaveFailureMessage(const std::string& path, const std::string& description);

}  // namespace kanopa
