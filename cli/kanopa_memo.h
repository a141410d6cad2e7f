#pragma once
// kanopa-memo: decode, create and inspect memo and configuration files from scripts.
#include <iosfwd>
#include <string>
#include <vector>

#include "common/clock.h"
#include "common/file_system.h"

namespace kanopa::cli {

// args excludes the program name; all texts UTF-8. Returns the process exit code:
// 0 success, 1 bad input, unreadable file or output that could not be written, 2 usage.
int RunKanopaMemo(const std::vector<std::string>& args, FileSystem& fs, const Clock& clock,
                  std::ostream& out, std::ostream& err);

}  // namespace kanopa::cli
