#include "common/safe_save.h"

#include <cstdio>
#include <random>
#include <thread>
#include <vector>

#include "common/paths.h"
#include "common/utf8.h"
#include "common/wildcard.h"

namespace kanopa {
namespace {

constexpr char kTemporarySuffix[] = ".tmp";
constexpr std::size_t kTemporaryTailLength = 1 + 8 + 1 + 4;  // ".XXXXXXXXn.tmp"
constexpr unsigned kNameAttempts = 4;

// A name holds at most 255 UTF-16 units; the temporary name's tail must fit beside the
// target's name, which is cut short where a longer one would leave it no room.
constexpr std::size_t kLongestName = 255;

std::string_view TemporaryStem(std::string_view targetName) {
    std::size_t units = 0;
    for (std::size_t pos = 0; pos < targetName.size();) {
        const std::size_t start = pos;
        units += NextCodePoint(targetName, pos) >= 0x10000 ? 2 : 1;
        if (units > kLongestName - kTemporaryTailLength) return targetName.substr(0, start);
    }
    return targetName;
}

// Not "*.epm": a half-written memo must never look like a memo to the viewer.
std::string TemporaryName(const std::string& path, unsigned attempt) {
    static std::random_device device;
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x%u%s", static_cast<unsigned>(device()), attempt,
                  kTemporarySuffix);
    return GetFolderPart(path) + std::string(TemporaryStem(GetFileName(path))) + suffix;
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

// Names compared as the file system compares them.
bool SameName(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (FoldCase(NextCodePoint(a, i)) != FoldCase(NextCodePoint(b, j))) return false;
    }
    return i == a.size() && j == b.size();
}

// True for the names TemporaryName gives for a target named `targetName`.
bool IsTemporaryNameOf(std::string_view name, std::string_view targetName) {
    targetName = TemporaryStem(targetName);
    if (targetName.empty() || name.size() != targetName.size() + kTemporaryTailLength) return false;
    const std::string_view tail = name.substr(targetName.size());
    if (tail[0] != '.' || tail.substr(10) != kTemporarySuffix) return false;
    for (std::size_t i = 1; i <= 8; ++i) {
        if (!IsHexDigit(tail[i])) return false;
    }
    if (tail[9] < '0' || tail[9] >= static_cast<char>('0' + kNameAttempts)) return false;
    return SameName(name.substr(0, targetName.size()), targetName);
}

// Removes what earlier, killed saves of `target` left behind; other files stay.
void RemoveLeftovers(FileSystem& fs, const std::string& target) {
    const std::string folder = GetFolderPart(target);
    const std::string targetName = GetFileName(target);
    std::vector<std::string> leftovers;
    // Best effort: what a failed listing hides, a later save removes.
    (void)fs.ListFiles(folder + "*" + kTemporarySuffix, [&](const std::string& name) {
        if (IsTemporaryNameOf(name, targetName)) leftovers.push_back(name);
        return true;
    });
    // One still held open by a save in progress elsewhere cannot go: leave it.
    for (const std::string& name : leftovers) (void)fs.RemoveFile(folder + name);
}

// `fill` creates the temporary file (which must not exist yet) with the new content.
Status ReplaceThroughTemporary(FileSystem& fs, const std::string& path,
                               const std::function<Status(const std::string& temporary)>& fill,
                               const Sleeper& sleep) {
    const std::string target = fs.SaveTarget(path);
    RemoveLeftovers(fs, target);
    Status created;
    std::string temporary;
    // A name clash with a stranger's file is possible, if unlikely: try a few names.
    for (unsigned attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary = TemporaryName(target, attempt);
        created = fill(temporary);
        if (created) break;
    }
    if (!created) return created;
    Status replaced = fs.MoveReplacing(temporary, target);
    for (auto waited = std::chrono::milliseconds{0};
         !replaced && replaced.problem == Problem::Busy && waited < kBusyRetryTotal;
         waited += kBusyRetryStep) {
        sleep(kBusyRetryStep);
        replaced = fs.MoveReplacing(temporary, target);
    }
    if (!replaced) (void)fs.RemoveFile(temporary);
    return replaced;
}

}  // namespace

void SleepFor(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

Status SaveFileReplacing(FileSystem& fs, const std::string& path, std::string_view bytes,
                         const Sleeper& sleep) {
    return ReplaceThroughTemporary(
        fs, path, [&](const std::string& temporary) { return fs.CreateNewFile(temporary, bytes); },
        sleep);
}

Status CopyFileReplacing(FileSystem& fs, const std::string& from, const std::string& to,
                         const Sleeper& sleep) {
    return ReplaceThroughTemporary(
        fs, to, [&](const std::string& temporary) { return fs.CopyToNewFile(from, temporary); }, sleep);
}

std::string SaveFailureMessage(const std::string& path, const std::string& description) {
    return "ファイルを保存できませんでした。\n" + path + "\n" + description;
}

}  // namespace kanopa
