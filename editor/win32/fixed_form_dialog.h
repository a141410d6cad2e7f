#pragma once
// frmFixedForm, the fixed-phrase dialog: its template (IDD_FIXED_FORM in Kanopa.rc) bound
// to FixedPhraseDialog. Modal; no cancel button: the close box, Esc and inserting close
// it, and every close rewrites FixedForm.txt. A click in the list copies the phrase into
// the box above; Enter or a double-click in the list inserts it; Enter in the box adds it.
#include <windows.h>

#include <optional>
#include <string>

#include "common/file_system.h"

namespace kanopa::editor::win32 {

// The phrase to append to the memo text, or nullopt when the dialog was closed without
// inserting. The phrases are FixedForm.txt in `programFolder` (ending in "\").
std::optional<std::string> ShowFixedFormDialog(HWND owner, HINSTANCE instance, FileSystem& fs,
                                               const std::string& programFolder);

}  // namespace kanopa::editor::win32
