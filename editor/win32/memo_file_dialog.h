#pragma once
// The Open and Save dialogs for memo files: titles "開く" and "保存", the memo-file
// filter first, then all files. The Save dialog asks before replacing a file and adds
// "epm" to a name typed without an extension. The process's current directory is the
// same afterwards.
#include <windows.h>

#include <optional>
#include <string>

namespace kanopa::editor::win32 {

enum class MemoFileDialog { Open, Save };

// Where the dialog opens ("" lets the system choose) and the source its failures are
// logged under ("" for the editor's own Open and Save).
struct MemoFileDialogPlace {
    std::string initialFolder;
    std::string logSource;
};

// The chosen path (UTF-8), or nullopt when the user cancelled or the dialog failed
// (a failure is logged).
std::optional<std::string> ShowMemoFileDialog(HWND owner, MemoFileDialog kind,
                                              const MemoFileDialogPlace& place = {});

}  // namespace kanopa::editor::win32
