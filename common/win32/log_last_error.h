#pragma once
// Logging of failed Win32 calls: LogLastError("PlaceMemoWindow()", "SetWindowPos") right
// after the call failed hands the source and "SetWindowPos failed: <system's text>" to
// the log hook. The error code survives the call (GetLastError still returns it).
#include <windows.h>

#include <string>
#include <string_view>

#include "common/log.h"
#include "common/win32/wide.h"

namespace kanopa {

inline void LogLastError(std::string_view source, std::string_view api,
                         DWORD error = GetLastError()) noexcept {
    try {
        std::string message(api);
        message += " failed: ";
        message += LastErrorText(error);
        WriteLog(source, message);
    } catch (...) {
        // Logging must never fail its caller (only an allocation can throw here).
    }
    SetLastError(error);
}

}  // namespace kanopa
