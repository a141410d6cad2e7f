#include "common/program_context.h"

#include "common/keys.h"
#include "common/paths.h"

namespace kanopa {

CommonContext InitCommon(const std::string& executablePath) {
    return {GetFolderPart(executablePath), MemoKey()};
}

}  // namespace kanopa
