#pragma once
// Values a program keeps for its whole run, set once at start-up.
#include <string>

namespace kanopa {

struct CommonContext {
    std::string programFolder;  // ends in the path separator
    std::string memoKey;
};

// Program folder from the executable's own path; the memo key from MemoKey().
CommonContext InitCommon(const std::string& executablePath);

}  // namespace kanopa
