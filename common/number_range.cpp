#include "common/number_range.h"

namespace kanopa {

bool IsNumberInRange(std::string& text, std::int16_t minimum, std::int16_t maximum) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        text.clear();
        return false;
    }
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
        if (value > 0x7FFFFFFF) return false;  // beyond 32 bits
    }
    return value >= minimum && value <= maximum;
}

}  // namespace kanopa
