#include "common/win32/tests/temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>

#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"
#include "common/win32/win32_file_system.h"

namespace kanopa::testing {
namespace {

// Takes the "\\?\" form, so that folders nested past MAX_PATH go too.
void DeleteTree(const std::wstring& path) {
    WIN32_FIND_DATAW data{};
    const UniqueFind find(FindFirstFileW((path + L"\\*").c_str(), &data));
    for (bool more = find.IsValid(); more; more = FindNextFileW(find.Get(), &data)) {
        const std::wstring name = data.cFileName, child = path + L"\\" + name;
        if (name == L"." || name == L"..") continue;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            DeleteTree(child);
        } else {
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(child.c_str());
        }
    }
    RemoveDirectoryW(path.c_str());
}

}  // namespace

TempFolder::TempFolder() {
    static std::atomic<unsigned> s_counter{0};
    wchar_t temp[MAX_PATH + 1];
    // The tick count keeps clear of folders left by an earlier run under the same id.
    const std::wstring path = std::wstring(temp, GetTempPathW(MAX_PATH + 1, temp)) + L"kanopa-test-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(s_counter++);
    if (CreateDirectoryW(path.c_str(), nullptr))
        m_path = WideToUtf8(path) + "\\";
    else
        ADD_FAILURE() << "cannot create a temporary folder: " << LastErrorText(GetLastError());
}

TempFolder::~TempFolder() {
    if (m_path.empty()) return;
    DeleteTree(L"\\\\?\\" + Utf8ToWide(m_path.substr(0, m_path.size() - 1)));
    if (GetFileAttributesW(Utf8ToWide(m_path).c_str()) != INVALID_FILE_ATTRIBUTES)
        ADD_FAILURE() << "temporary folder left behind: " << m_path;
}

void MakeFolder(const std::string& path) {
    if (!CreateDirectoryW(ToWin32Path(path).c_str(), nullptr))
        ADD_FAILURE() << "CreateDirectoryW " << path << ": " << LastErrorText(GetLastError());
}

void MakeFile(const std::string& path, const std::string& bytes, DWORD attributes) {
    const std::wstring wide = ToWin32Path(path);
    DWORD written = 0;
    const UniqueFile file(CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || !WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                            nullptr) || (attributes != 0 && !SetFileAttributesW(wide.c_str(), attributes)))
        ADD_FAILURE() << "cannot make " << path << ": " << LastErrorText(GetLastError());
}

}  // namespace kanopa::testing
