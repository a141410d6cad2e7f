#include "common/win32/win32_file_system.h"

#include <windows.h>

#include <algorithm>

#include "common/wildcard.h"
#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"

namespace kanopa {

namespace {

// Largest single ReadFile/WriteFile transfer; bigger buffers go in pieces.
constexpr DWORD kMaxTransfer = 1u << 30;

Status FailWith(DWORD error) { return Status::Fail(LastErrorText(error)); }
Status FailWithLastError() { return FailWith(GetLastError()); }

// The system also matches a pattern against the 8.3 short name of each file, so that
// "*.epm" finds "notes.epmx" (short name NOTES~1.EPM), and its case folding is not the
// one the fakes and the native builds use. The folder is therefore listed whole and
// every name matched here; as in the system's own rule, a name without a dot also
// matches as if it ended in one, which keeps "*.*" meaning every file.
bool LongNameMatches(std::string_view pattern, const std::string& name) {
    if (WildcardMatch(pattern, name, CaseFolding::IgnoreCase)) return true;
    return name.find('.') == std::string::npos &&
           WildcardMatch(pattern, name + '.', CaseFolding::IgnoreCase);
}

Status WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kMaxTransfer));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) return FailWithLastError();
        if (written == 0) return FailWith(ERROR_WRITE_FAULT);
        bytes.remove_prefix(written);
    }
    return Status::Ok();
}

}  // namespace

std::wstring ToWin32Path(const std::string& path) {
    std::wstring wide = Utf8ToWide(path);
    if (wide.rfind(L"\\\\?\\", 0) == 0) return wide;
    // The full form decides, for a relative path too (a walk from "." goes deep). The
    // system's clean-up ("/", "." and "..", the current folder), which the prefix turns
    // off, is done here first, as the system would do it for a short path.
    std::wstring full(wide.size() + MAX_PATH, L'\0');
    DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length + 1);
        length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (length == 0 || length >= full.size() || length < MAX_PATH - 12) return wide;
    full.resize(length);
    const bool drivePath = full.size() >= 3 && full[1] == L':' && full[2] == L'\\';
    const bool uncPath = full.size() >= 3 && full[0] == L'\\' && full[1] == L'\\' && full[2] != L'?' &&
                         full[2] != L'.';
    if (drivePath) return L"\\\\?\\" + full;
    if (uncPath) return L"\\\\?\\UNC\\" + full.substr(2);
    return wide;
}

Status Win32FileSystem::ReadFile(const std::string& path, std::uint64_t maxBytes,
                                 std::string& bytes) {
    const UniqueFile file(CreateFileW(ToWin32Path(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return FailWithLastError();
    // Devices ("CON", "NUL") and pipes would never end or block: files on disk only.
    if (GetFileType(file.Get()) != FILE_TYPE_DISK)
        return Status::Fail(LastErrorText(ERROR_INVALID_FUNCTION), Problem::NotAFile);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) return FailWithLastError();
    if (static_cast<std::uint64_t>(size.QuadPart) > maxBytes)
        return Status::Fail(LastErrorText(ERROR_FILE_TOO_LARGE), Problem::TooLarge);

    // Read until the end rather than trusting the size: the file may change meanwhile.
    std::string content;
    content.reserve(static_cast<std::size_t>(size.QuadPart));
    char buffer[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) return FailWithLastError();
        if (read == 0) break;
        content.append(buffer, read);
        if (content.size() > maxBytes)
            return Status::Fail(LastErrorText(ERROR_FILE_TOO_LARGE), Problem::TooLarge);
    }
    bytes = std::move(content);
    return Status::Ok();
}

Status Win32FileSystem::CreateNewFile(const std::string& path, std::string_view bytes) {
    const std::wstring widePath = ToWin32Path(path);
    UniqueFile file(CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return FailWithLastError();
    Status status = WriteAll(file.Get(), bytes);
    if (status && !FlushFileBuffers(file.Get())) status = FailWithLastError();
    if (!status) {
        // A half-written file must not pass for a complete one.
        file.Reset();
        DeleteFileW(widePath.c_str());
    }
    return status;
}

Status Win32FileSystem::AppendToFile(const std::string& path, std::string_view bytes) {
    const UniqueFile file(CreateFileW(ToWin32Path(path).c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return FailWithLastError();
    return WriteAll(file.Get(), bytes);
}

Status Win32FileSystem::MoveReplacing(const std::string& from, const std::string& to) {
    const std::wstring target = ToWin32Path(to);
    // Windows refuses to replace a read-only file, Wine (as root) does not: a file the
    // user made read-only stays as it is on both.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return FailWith(ERROR_ACCESS_DENIED);
    if (!MoveFileExW(ToWin32Path(from).c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        // A reader that holds the file without sharing its deletion (a viewer, a virus
        // scanner) makes the move fail for that instant only.
        const bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                          error == ERROR_ACCESS_DENIED;
        return Status::Fail(LastErrorText(error), busy ? Problem::Busy : Problem::Failed);
    }
    return Status::Ok();
}

Status Win32FileSystem::RemoveFile(const std::string& path) {
    if (!DeleteFileW(ToWin32Path(path).c_str())) return FailWithLastError();
    return Status::Ok();
}

std::optional<std::uint64_t> Win32FileSystem::FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(ToWin32Path(path).c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return std::nullopt;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string Win32FileSystem::SaveTarget(const std::string& path) {
    const std::wstring wide = ToWin32Path(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return path;
    // A symbolic link: replace the file it leads to, so that the link stays.
    const UniqueFile file(CreateFileW(wide.c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return path;
    std::wstring resolved(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file.Get(), resolved.data(), static_cast<DWORD>(resolved.size()),
                                             FILE_NAME_NORMALIZED);
    if (length >= resolved.size()) {
        resolved.resize(length + 1);
        length = GetFinalPathNameByHandleW(file.Get(), resolved.data(), static_cast<DWORD>(resolved.size()),
                                           FILE_NAME_NORMALIZED);
    }
    if (length == 0 || length >= resolved.size()) return path;
    resolved.resize(length);
    // "\\?\C:\..." and "\\?\UNC\server\..." back to the everyday forms.
    if (resolved.rfind(L"\\\\?\\UNC\\", 0) == 0) resolved = L"\\\\" + resolved.substr(8);
    else if (resolved.rfind(L"\\\\?\\", 0) == 0) resolved = resolved.substr(4);
    return WideToUtf8(resolved);
}

Status Win32FileSystem::ListFiles(const std::string& pattern,
                                  const std::function<bool(const std::string& name)>& visit) {
    constexpr DWORD kNotOrdinary =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const std::size_t nameStart = pattern.find_last_of("\\/:");
    const std::size_t folderLength = nameStart == std::string::npos ? 0 : nameStart + 1;
    const std::string_view namePattern = std::string_view(pattern).substr(folderLength);
    const bool wildcard = namePattern.find_first_of("*?") != std::string_view::npos;
    // The system folds case by its own table, which may differ from ours beyond ASCII;
    // for an ASCII pattern it may pre-filter (its matches are a superset: short names
    // match too), which spares listing a large folder name by name.
    const bool asciiPattern = std::all_of(namePattern.begin(), namePattern.end(),
                                          [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    const std::wstring search = ToWin32Path(
        wildcard && !asciiPattern ? pattern.substr(0, folderLength) + "*" : pattern);

    WIN32_FIND_DATAW data{};
    const UniqueFind find(FindFirstFileExW(search.c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) return Status::Ok();
        return FailWith(error);
    }
    do {
        if ((data.dwFileAttributes & kNotOrdinary) != 0) continue;
        const std::string name = WideToUtf8(data.cFileName);
        if (wildcard && !LongNameMatches(namePattern, name)) continue;
        if (!visit(name)) return Status::Ok();
    } while (FindNextFileW(find.Get(), &data));
    const DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_FILES) return FailWith(error);
    return Status::Ok();
}

Status Win32FileSystem::ListFolder(const std::string& folder,
                                   const std::function<bool(const FolderEntry& entry)>& visit) {
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    pattern += '*';
    // The basic level skips the short names, and the large fetch asks the file system
    // for many entries per call: both matter on folders of thousands of entries.
    WIN32_FIND_DATAW data{};
    const UniqueFind find(FindFirstFileExW(ToWin32Path(pattern).c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        const DWORD error = GetLastError();
        // An empty drive root has not even "." to list.
        if (error == ERROR_FILE_NOT_FOUND) return Status::Ok();
        return FailWith(error);
    }
    FolderEntry entry;
    do {
        entry.name = WideToUtf8(data.cFileName);
        entry.attributes = data.dwFileAttributes;
        // dwReserved0 holds the reparse tag for reparse points.
        entry.reparseTag =
            (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? data.dwReserved0 : 0;
        if (!visit(entry)) return Status::Ok();
    } while (FindNextFileW(find.Get(), &data));
    const DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_FILES) return FailWith(error);
    return Status::Ok();
}

std::optional<FileIdentity> Win32FileSystem::IdentityOf(const std::string& path) {
    // Backup semantics open folders too; no access right is needed to read the identity.
    const UniqueFile file(CreateFileW(ToWin32Path(path.empty() ? "." : path).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.Get(), &info)) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

Status Win32FileSystem::CopyToNewFile(const std::string& from, const std::string& to) {
    const std::wstring target = ToWin32Path(to);
    if (!CopyFileExW(ToWin32Path(from).c_str(), target.c_str(), nullptr, nullptr, nullptr,
                     COPY_FILE_FAIL_IF_EXISTS)) {
        const DWORD error = GetLastError();
        // The target was there before: it is not ours to remove.
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) DeleteFileW(target.c_str());
        return FailWith(error);
    }
    // The copy takes the source's attributes; a read-only copy could not be replaced by
    // the next run, nor removed after a failed move.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    Status status = Status::Ok();
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
        !SetFileAttributesW(target.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY}))
        status = FailWithLastError();
    if (status) {
        const UniqueFile file(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file || !FlushFileBuffers(file.Get())) status = FailWithLastError();
    }
    if (!status) DeleteFileW(target.c_str());
    return status;
}

}  // namespace kanopa
