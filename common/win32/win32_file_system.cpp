#include "common/win32/win32_file_system.h"

#include <windows.h>

#include <algorithm>

#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"

namespace kanopa {

namespace {

// Largest single ReadFile/WriteFile transfer; bigger buffers go in pieces.
constexpr DWORD kMaxTransfer = 1u << 30;

Status FailWith(DWORD error) { return Status::Fail(LastErrorText(error)); }
Status FailWithLastError() { return FailWith(GetLastError()); }

bool NeedsNoCleanUp(std::wstring_view path) {
    if (path.find(L'/') != std::wstring_view::npos) return false;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring_view::npos) end = path.size();
        const std::wstring_view part = path.substr(start, end - start);
        if (part == L"." || part == L"..") return false;
        start = end + 1;
    }
    return true;
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
    if (wide.size() < MAX_PATH - 12 || !NeedsNoCleanUp(wide)) return wide;
    const bool drivePath = wide.size() >= 3 && wide[1] == L':' && wide[2] == L'\\';
    const bool uncPath = wide.size() >= 3 && wide[0] == L'\\' && wide[1] == L'\\' && wide[2] != L'?' &&
                         wide[2] != L'.';
    if (drivePath) return L"\\\\?\\" + wide;
    if (uncPath) return L"\\\\?\\UNC\\" + wide.substr(2);
    return wide;
}

Status Win32FileSystem::ReadFile(const std::string& path, std::string& bytes) {
    const UniqueFile file(CreateFileW(ToWin32Path(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return FailWithLastError();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) return FailWithLastError();

    // Read until the end rather than trusting the size: the file may change meanwhile.
    std::string content;
    content.reserve(static_cast<std::size_t>(std::min<LONGLONG>(size.QuadPart, kMaxTransfer)));
    char buffer[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) return FailWithLastError();
        if (read == 0) break;
        content.append(buffer, read);
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

Status Win32FileSystem::ReplaceFile(const std::string& from, const std::string& to) {
    if (!MoveFileExW(ToWin32Path(from).c_str(), ToWin32Path(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return FailWithLastError();
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

Status Win32FileSystem::ListFiles(const std::string& pattern,
                                  const std::function<bool(const std::string& name)>& visit) {
    constexpr DWORD kNotOrdinary =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    WIN32_FIND_DATAW data{};
    const UniqueFind find(FindFirstFileExW(ToWin32Path(pattern).c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) return Status::Ok();
        return FailWith(error);
    }
    do {
        const std::wstring_view name(data.cFileName);
        if ((data.dwFileAttributes & kNotOrdinary) != 0 || name == L"." || name == L"..") continue;
        if (!visit(WideToUtf8(name))) return Status::Ok();
    } while (FindNextFileW(find.Get(), &data));
    const DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_FILES) return FailWith(error);
    return Status::Ok();
}

}  // namespace kanopa
