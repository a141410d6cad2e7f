#pragma once
// The check behind every number the user types into a box.
#include <cstdint>
#include <string>

namespace kanopa {

// Trims blanks from `text` (in place), then true when it is all digits and its value
// lies within [minimum, maximum].
bool IsNumberInRange(std::string& text, std::int16_t minimum, std::int16_t maximum);

}  // namespace kanopa
