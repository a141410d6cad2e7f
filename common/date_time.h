#pragma once
// Date and time texts.
#include <string>

#include "common/clock.h"

namespace kanopa {

// The Japanese general date-and-time form the memo's save time is stored in:
// "2026/12/06 9:05:07" (hour without a leading zero).
std::string FormatGeneralDateTime(const LocalDateTime& t);
// Fixed-width form for log lines: "2026/12/06 09:05:07".
std::string FormatLogTimestamp(const LocalDateTime& t);

}  // namespace kanopa
