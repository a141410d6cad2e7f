#include "common/win32/program_path.h"

#include <algorithm>

#include "common/win32/log_last_error.h"
#include "common/win32/wide.h"

namespace kanopa {

std::string ModulePath(HMODULE module) {
    // GetModuleFileNameW truncates silently when the buffer is too small (it returns
    // the buffer size), so grow until the path fits; NTFS paths end at 32767 characters.
    constexpr DWORD kLongestPath = 32768;
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetModuleFileNameW(module, buffer.data(), size);
        if (length == 0) {
            LogLastError("ModulePath()", "GetModuleFileNameW");
            return {};
        }
        if (length < size) {
            buffer.resize(length);
            return WideToUtf8(buffer);
        }
        if (size >= kLongestPath) {
            LogLastError("ModulePath()", "GetModuleFileNameW", ERROR_INSUFFICIENT_BUFFER);
            return {};
        }
        buffer.resize(std::min<DWORD>(size * 2, kLongestPath));
    }
}

}  // namespace kanopa
