#include "editor/win32/folder_browser.h"

#include <shobjidl.h>

#include "common/win32/log_last_error.h"
#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"

namespace kanopa::editor::win32 {

std::optional<std::string> BrowseForFolder(HWND owner, const wchar_t* title, const char* logSource) {
    ComPtr<IFileOpenDialog> picker;
    HRESULT hr = CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                  picker.PutVoid());
    if (FAILED(hr)) {
        LogLastError(logSource, "CoCreateInstance(FileOpenDialog)", static_cast<DWORD>(hr));
        return std::nullopt;
    }
    FILEOPENDIALOGOPTIONS options = 0;
    picker->GetOptions(&options);
    picker->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR);
    picker->SetTitle(title);
    hr = picker->Show(owner);
    if (hr == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return std::nullopt;
    ComPtr<IShellItem> item;
    if (SUCCEEDED(hr)) hr = picker->GetResult(&item);
    PWSTR path = nullptr;
    if (SUCCEEDED(hr)) hr = item->GetDisplayName(SIGDN_FILESYSPATH, &path);
    if (FAILED(hr)) {
        LogLastError(logSource, "IFileOpenDialog", static_cast<DWORD>(hr));
        return std::nullopt;
    }
    std::string chosen = WideToUtf8(path);
    CoTaskMemFree(path);
    return chosen;
}

}  // namespace kanopa::editor::win32
