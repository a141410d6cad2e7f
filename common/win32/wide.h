#pragma once
// UTF-8 <-> UTF-16 at the Win32 boundary. Inside the programs every text is UTF-8;
// these are the only places where it becomes a wide string and back.
#include <windows.h>

#include <string>
#include <string_view>

namespace kanopa {

// Invalid UTF-8 sequences become U+FFFD rather than failing the whole conversion.
// Texts longer than INT_MAX units throw std::length_error (as no real text is).
std::wstring Utf8ToWide(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string WideToUtf8(std::wstring_view text);

// The system's description of a Win32 error code (FormatMessageW, in the user's
// language), as UTF-8 without the trailing line break; never empty.
std::string LastErrorText(DWORD error);

}  // namespace kanopa
