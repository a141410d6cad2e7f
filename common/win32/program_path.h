#pragma once
#include <string>

namespace kanopa {

// Full path of the running executable as UTF-8, of any length. "" when the system
// cannot tell; the failure is logged.
std::string ProgramPath();

}  // namespace kanopa
