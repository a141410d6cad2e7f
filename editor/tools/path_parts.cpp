#include "editor/tools/path_parts.h"

namespace kanopa::editor {

std::string GetDirPathFromPath(std::string_view path) {
    if (path.empty() || path == "\\") return {};
    const std::size_t last = path.rfind('\\');
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::string GetFileNameFromPath(std::string_view path) {
    if (path.empty() || path == "\\") return {};
    const std::size_t last = path.rfind('\\');
    return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

}  // namespace kanopa::editor
