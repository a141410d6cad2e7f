#pragma once
// The two keys of the text scrambling codec. Every program takes them from here, so
// that files written by one are read by the other.
#include <string>

namespace kanopa {

inline constexpr char kConfigKey[] = "80463";

// The key of memo files, assembled from character codes as the editor's start-up has
// always built it rather than held as a text.
inline std::string MemoKey() {
    constexpr char kCodes[] = {51, 49, 57, 55, 53};
    return std::string(kCodes, sizeof kCodes);
}

}  // namespace kanopa
