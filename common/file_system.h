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
};

}  // namespace kanopa
