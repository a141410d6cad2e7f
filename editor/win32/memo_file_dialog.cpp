#include "editor/win32/memo_file_dialog.h"

#include <commdlg.h>

#include <vector>

#include "common/log.h"
#include "common/win32/log_last_error.h"
#include "common/win32/wide.h"
#include "editor/win32/editor_names.h"
#include "editor/win32/editor_texts.h"

namespace kanopa::editor::win32 {
namespace {

std::wstring CurrentDirectory() {
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(length, L'\0');
    const DWORD copied = GetCurrentDirectoryW(length, folder.data());
    folder.resize(copied < length ? copied : 0);
    return folder;
}

}  // namespace

std::optional<std::string> ShowMemoFileDialog(HWND owner, MemoFileDialog kind,
                                              const MemoFileDialogPlace& place) {
    const bool save = kind == MemoFileDialog::Save;
    const std::string source = !place.logSource.empty() ? place.logSource
                               : save                   ? "frmCreateMemo.SaveAs()"
                                                        : "frmCreateMemo.OpenFile()";
    const std::wstring initialFolder = Utf8ToWide(place.initialFolder);
    // The dialog may change the process's current directory; it is put back afterwards.
    const std::wstring folder = CurrentDirectory();
    std::vector<wchar_t> name(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kMemoFileFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrTitle = save ? kSaveDialogTitle : kOpenDialogTitle;
    if (!initialFolder.empty()) dialog.lpstrInitialDir = initialFolder.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    if (save) {
        dialog.Flags |= OFN_OVERWRITEPROMPT;
        dialog.lpstrDefExt = kMemoExtension;  // a name typed without extension gets ".epm"
    } else {
        dialog.Flags |= OFN_FILEMUSTEXIST;
    }
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    const DWORD error = chosen ? 0 : CommDlgExtendedError();
    if (!folder.empty() && !SetCurrentDirectoryW(folder.c_str())) {
        LogLastError(source, "SetCurrentDirectoryW");
    }
    if (!chosen) {
        if (error != 0) WriteLog(source, "File dialog failed: error " + std::to_string(error));
        return std::nullopt;
    }
    return WideToUtf8(name.data());
}

}  // namespace kanopa::editor::win32
