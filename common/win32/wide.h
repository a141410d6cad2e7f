#pragma once
// UTF-8 <-> UTF-16 at the Win32 boundary. Inside the programs every text is UTF-8;
// these are the only places where it becomes a wide string and back.
#include <windows.h>

#include <string>
#include <string_view>

namespace kanopa {

// Through the core's one UTF-8 decoder (common/utf8.h): invalid bytes become U+FFFD
// one byte at a time, exactly as everywhere else in the programs.
std::wstring Utf8ToWide(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string WideToUtf8(std::wstring_view text);

// The system's description of a Win32 error code (FormatMessageW, in the user's
// language), as UTF-8 without the trailing line break; never empty.
std::string LastErrorText(DWORD error);

}  // namespace kanopa
