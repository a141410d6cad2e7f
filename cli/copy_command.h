#pragma once
// kanopa-memo copy MEMO-FILE FOLDER: the editor's bulk copy from scripts.
#include <iosfwd>
#include <string>
#include <vector>

#include "common/file_system.h"

namespace kanopa::cli {

// `args` follows the word "copy". Prints each memo written and a summary; on the first
// failure the editor's error report goes to `err`. Exit code: 0 done, 1 refused or
// failed, 2 usage.
int RunCopyCommand(const std::vector<std::string>& args, FileSystem& fs, std::ostream& out, std::ostream& err);

}  // namespace kanopa::cli
