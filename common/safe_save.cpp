#include "common/safe_save.h"

#include <cstdio>
#include <random>

namespace kanopa {
namespace {

// Not "*.epm": a half-written memo must never look like a memo to the viewer.
std::string TemporaryName(const std::string& path, unsigned attempt) {
    static std::random_device device;
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x%u.tmp", static_cast<unsigned>(device()), attempt);
    return path + suffix;
}

}  // namespace

Status SaveFileReplacing(FileSystem& fs, const std::string& path, std::string_view bytes) {
    Status created;
    std::string temporary;
    // A name clash with a leftover is possible, if unlikely: try a few names.
    for (unsigned attempt = 0; attempt < 4; ++attempt) {
        temporary = TemporaryName(path, attempt);
        created = fs.CreateNewFile(temporary, bytes);
        if (created) break;
    }
    if (!created) return created;
    Status replaced = fs.MoveReplacing(temporary, path);
    if (!replaced) fs.RemoveFile(temporary);
    return replaced;
}

std::string SaveFailureMessage(const std::string& path, const std::string& description) {
    return "ファイルを保存できませんでした。\n" + path + "\n" + description;
}

}  // namespace kanopa
