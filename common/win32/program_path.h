#pragma once
#include <windows.h>

#include <string>

namespace kanopa {

// Full path of a loaded module as UTF-8 (nullptr: the running executable), of any
// length. "" when the system cannot tell; the failure is logged.
std::string ModulePath(HMODULE module);

// Full path of the running executable.
inline std::string ProgramPath() { return ModulePath(nullptr); }

}  // namespace kanopa
