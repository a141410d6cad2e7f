#include "common/win32/win32_clock.h"

#include <windows.h>

namespace kanopa {

LocalDateTime Win32Clock::Now() const {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace kanopa
