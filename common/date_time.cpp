#include "common/date_time.h"

#include <cstdio>

namespace kanopa {

std::string FormatGeneralDateTime(const LocalDateTime& t) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d %d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return buffer;
}

std::string FormatLogTimestamp(const LocalDateTime& t) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return buffer;
}

}  // namespace kanopa
