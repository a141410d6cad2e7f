#include "common/paths.h"

#include "common/log.h"

namespace kanopa {

bool IsFile(FileSystem& fs, const std::string& path) {
    bool found = false;
    const Status listed = fs.ListFiles(path, [&](const std::string&) {
        found = true;
        return false;
    });
    if (!listed) {
        WriteLog("IsFile()", path + " " + listed.error);
        return false;
    }
    return found;
}

std::string& AddBackslash(std::string& path) {
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path;
}

std::string GetFileName(const std::string& path) {
    const std::size_t last = path.find_last_of("\\/");
    return last == std::string::npos ? path : path.substr(last + 1);
}

std::string GetFolderPart(const std::string& path) {
    const std::size_t last = path.find_last_of("\\/");
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

}  // namespace kanopa
