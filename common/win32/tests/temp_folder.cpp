#include "common/win32/tests/temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>

#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"
#include "common/win32/win32_file_system.h"

namespace kanopa::testing {

TempFolder::TempFolder() {
    static std::atomic<unsigned> s_counter{0};
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) {
        ADD_FAILURE() << "GetTempPathW: " << LastErrorText(GetLastError());
        return;
    }
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const std::wstring path = std::wstring(temp, length) + L"kanopa-test-" +
                                  std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(s_counter++);
        if (CreateDirectoryW(path.c_str(), nullptr)) {
            m_path = WideToUtf8(path) + "\\";
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    ADD_FAILURE() << "cannot create a temporary folder: " << LastErrorText(GetLastError());
}

TempFolder::~TempFolder() {
    if (m_path.empty()) return;
    DeleteTree(ToWin32Path(m_path.substr(0, m_path.size() - 1)));
    if (PathExists(m_path)) ADD_FAILURE() << "temporary folder left behind: " << m_path;
}

void DeleteTree(const std::wstring& path) {
    // Always in the "\\?\" form so that folders nested past MAX_PATH go too.
    const std::wstring full = path.rfind(L"\\\\?\\", 0) == 0 ? path : L"\\\\?\\" + path;
    WIN32_FIND_DATAW data{};
    const UniqueFind find(FindFirstFileW((full + L"\\*").c_str(), &data));
    if (find) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = full + L"\\" + name;
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                DeleteTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find.Get(), &data));
    }
    SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(full.c_str());
}

void MakeFolder(const std::string& path) {
    if (!CreateDirectoryW(ToWin32Path(path).c_str(), nullptr))
        ADD_FAILURE() << "CreateDirectoryW " << path << ": " << LastErrorText(GetLastError());
}

void MakeFile(const std::string& path, const std::string& bytes, DWORD attributes) {
    const std::wstring wide = ToWin32Path(path);
    {
        const UniqueFile file(CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file || !WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                &written, nullptr)) {
            ADD_FAILURE() << "cannot write " << path << ": " << LastErrorText(GetLastError());
            return;
        }
    }
    if (attributes != 0 && !SetFileAttributesW(wide.c_str(), attributes))
        ADD_FAILURE() << "SetFileAttributesW " << path << ": " << LastErrorText(GetLastError());
}

bool PathExists(const std::string& path) {
    return GetFileAttributesW(ToWin32Path(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace kanopa::testing
