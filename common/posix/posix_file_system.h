#pragma once
// kanopa::FileSystem on POSIX, for the native builds (tests, tools, benchmarks).
// Hidden files are those whose name starts with "."; there are no system files. A file
// with no write permission for anyone counts as read-only. In folder listings names stay
// as they are (no entry is hidden) and a symbolic link to a folder is reported as a
// folder reparse point with the symbolic-link tag.
#include "common/file_system.h"

namespace kanopa {

class PosixFileSystem final : public FileSystem {
public:
    Status ReadFile(const std::string& path, std::uint64_t maxBytes, std::string& bytes) override;
    Status CreateNewFile(const std::string& path, std::string_view bytes) override;
    Status AppendToFile(const std::string& path, std::string_view bytes) override;
    Status MoveReplacing(const std::string& from, const std::string& to) override;
    Status RemoveFile(const std::string& path) override;
    std::optional<std::uint64_t> FileSize(const std::string& path) override;
    std::string SaveTarget(const std::string& path) override;
    Status ListFiles(const std::string& pattern,
                     const std::function<bool(const std::string& name)>& visit) override;
    Status ListFolder(const std::string& folder,
                      const std::function<bool(const FolderEntry& entry)>& visit) override;
    std::optional<FileIdentity> IdentityOf(const std::string& path) override;
    Status CopyToNewFile(const std::string& from, const std::string& to) override;
};

}  // namespace kanopa
