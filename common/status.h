#pragma once
// Outcome of an operation that can fail with a reason worth showing or logging.
#include <string>
#include <utility>

namespace kanopa {

struct Status {
    bool ok = true;
    std::string error;  // system error description or user-facing reason; empty when ok

    static Status Ok() { return {}; }
    static Status Fail(std::string why) { return {false, std::move(why)}; }
    explicit operator bool() const { return ok; }
};

}  // namespace kanopa
