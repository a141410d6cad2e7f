#pragma once
// kanopa-memo dates [DATETIME-FILE] [--at YYYY-MM-DDTHH:MM:SS]: the two lists of the
// editor's date/time dialog, for people who edit DateTime.txt by hand.
#include <iosfwd>
#include <string>
#include <vector>

#include "common/clock.h"
#include "common/file_system.h"

namespace kanopa::cli {

// `args` follow the word "dates". Returns the exit code: 0, 1 unreadable file or bad
// date, 2 usage.
int RunDates(const std::vector<std::string>& args, FileSystem& fs, const Clock& clock,
             std::ostream& out, std::ostream& err);

}  // namespace kanopa::cli
