#pragma once
// Outcome of an operation that can fail with a reason worth showing or logging.
#include <string>
#include <utility>

namespace kanopa {

// What kind of failure, where a caller acts on it.
enum class Problem {
    None,
    Failed,     // anything else: missing, no permission, disk full...
    Busy,       // another program holds the file this instant; trying again may succeed
    NotAFile,   // a folder, device or pipe where a regular file was expected
    TooLarge,   // larger than the caller's limit; nothing was read
};

struct Status {
    bool ok = true;
    std::string error;  // system error description or user-facing reason; empty when ok
    Problem problem = Problem::None;

    static Status Ok() { return {}; }
    static Status Fail(std::string why, Problem problem = Problem::Failed) {
        return {false, std::move(why), problem};
    }
    explicit operator bool() const { return ok; }
};

}  // namespace kanopa
