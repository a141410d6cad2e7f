#pragma once
// kanopa-memo search ROOT PATTERN [--recursive] [--json]: the memos under ROOT whose text
// matches PATTERN as the editor's memo search matches it, in walk order. One line each:
// the path, a tab, the first line of the memo text; or with --json an array of objects
// {path, folder, name, text}.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "common/file_system.h"

namespace kanopa::cli {

struct CommandFailure {
    int code;             // 1 bad input, 2 usage
    std::string message;  // Japanese, without the program's name
};

// `args` follow the word "search"; `separator` is the system's path separator.
std::optional<CommandFailure> RunSearchCommand(const std::vector<std::string>& args, FileSystem& fs,
                                               char separator, std::ostream& out);

}  // namespace kanopa::cli
