#pragma once
// The memo core's file operations on Windows, through the wide-character APIs.
// Paths are UTF-8 with "\" separators; failures carry the system's error description.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/file_system.h"

namespace kanopa {

class Win32FileSystem final : public FileSystem {
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

// The wide form of a path for the file APIs. A path whose full form is too long for the
// classic MAX_PATH limit becomes that full form, cleaned of "/", "." and "..", with the
// "\\?\" prefix, which turns off the limit (and with it the system's clean-up).
std::wstring ToWin32Path(const std::string& path);

}  // namespace kanopa
