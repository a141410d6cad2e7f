#pragma once
// The file operations the memo core needs. Paths are UTF-8; on Windows they use "\",
// natively "/" (the core accepts either as a separator). Implementations: Win32
// (common/win32), POSIX (common/posix) and in-memory fakes in the tests.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "status.h"

namespace kanopa {

// Windows file attribute bits, which every implementation reports.
namespace attribute {
inline constexpr std::uint32_t kReadOnly = 0x1;
inline constexpr std::uint32_t kHidden = 0x2;
inline constexpr std::uint32_t kSystem = 0x4;
inline constexpr std::uint32_t kDirectory = 0x10;
inline constexpr std::uint32_t kArchive = 0x20;
inline constexpr std::uint32_t kReparsePoint = 0x400;
inline constexpr std::uint32_t kNotContentIndexed = 0x2000;
inline constexpr std::uint32_t kRecallOnDataAccess = 0x400000;  // cloud-file placeholder
}  // namespace attribute

// Reparse tags with this bit stand for another name (junctions, symbolic links): a walk
// that followed them could visit a folder twice or loop forever.
inline constexpr std::uint32_t kReparseTagNameSurrogate = 0x20000000;
inline constexpr std::uint32_t kReparseTagSymlink = 0xA000000C;
inline constexpr std::uint32_t kReparseTagMountPoint = 0xA0000003;  // junction
inline constexpr std::uint32_t kReparseTagCloud = 0x9000001A;       // cloud-file placeholder

// One entry of a folder listing.
struct FolderEntry {
    std::string name;              // no folder part
    std::uint32_t attributes = 0;  // attribute:: bits
    std::uint32_t reparseTag = 0;  // meaningful with attribute::kReparsePoint only

    bool IsFolder() const { return (attributes & attribute::kDirectory) != 0; }
    // A junction or symbolic link: another name for a folder that lives elsewhere.
    bool IsNameSurrogate() const {
        return (attributes & attribute::kReparsePoint) != 0 && (reparseTag & kReparseTagNameSurrogate) != 0;
    }
};

// Which file a path leads to, whatever name it was reached by.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t fileHigh = 0;
    std::uint64_t fileLow = 0;
    bool operator==(const FileIdentity&) const = default;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Reads a whole regular file as bytes. Anything else (a folder, device or pipe) is
    // refused as Problem::NotAFile without waiting for it; a file larger than
    // `maxBytes` as Problem::TooLarge without reading it.
    virtual Status ReadFile(const std::string& path, std::uint64_t maxBytes, std::string& bytes) = 0;
    // Creates a file that must not exist yet and writes bytes to it, flushed to disk.
    // Fails when the file exists; a file it created but could not fill is removed again.
    virtual Status CreateNewFile(const std::string& path, std::string_view bytes) = 0;
    // Appends bytes, creating the file when it is missing.
    virtual Status AppendToFile(const std::string& path, std::string_view bytes) = 0;
    // Moves `from` onto `to` in one step, replacing an existing `to`, which keeps its
    // permissions. A read-only `to` is refused. Problem::Busy when another program
    // holds `to` open this instant.
    virtual Status MoveReplacing(const std::string& from, const std::string& to) = 0;
    virtual Status RemoveFile(const std::string& path) = 0;
    // Size in bytes of an existing regular file; nullopt when there is none.
    virtual std::optional<std::uint64_t> FileSize(const std::string& path) = 0;
    // The file a save of `path` replaces: the final target when `path` is a symbolic
    // link, so that the link stays; `path` itself otherwise.
    virtual std::string SaveTarget(const std::string& path) = 0;
    // Visits, in listing order, the names (no folder part) of the ordinary files that
    // match a wildcard pattern such as "C:\Work\*.epm": no folders, no hidden or system
    // files. `visit` returns false to stop early. A folder with no match is no failure.
    virtual Status ListFiles(const std::string& pattern,
                             const std::function<bool(const std::string& name)>& visit) = 0;
    // Visits every entry of a folder (its path with or without a trailing separator) in
    // listing order, hidden and system entries included, "." and ".." where the system
    // lists them. `visit` returns false to stop early. A folder that cannot be listed (it
    // is missing, refused, or not a folder) is a failure; an empty one is not.
    virtual Status ListFolder(const std::string& folder,
                              const std::function<bool(const FolderEntry& entry)>& visit) = 0;
    // The identity of the file or folder `path` leads to; nullopt when it cannot be opened.
    virtual std::optional<FileIdentity> IdentityOf(const std::string& path) = 0;
    // Copies the bytes of the file `from` into a new file `to`, which must not exist yet,
    // flushed to disk. The copy is writable whatever `from` is; a half-made copy is removed.
    virtual Status CopyToNewFile(const std::string& from, const std::string& to) = 0;
};

}  // namespace kanopa
