#pragma once
// Kanopa.exe as a user meets it, for the Wine tests and the screenshot tool: a copy of
// the program in a folder of its own (with or without its data files), started as a
// process and driven by the messages a user's input produces.
#include <windows.h>

#include <string>
#include <vector>

#include "common/memo_record.h"
#include "common/win32/test_support/window_testing.h"
#include "common/win32/tests/temp_folder.h"
#include "common/win32/unique_handle.h"
#include "editor/win32/editor_names.h"

namespace kanopa::editor::win32::testing {

// Copies the file `name` from beside the running test to `target`.
bool CopyBesideTest(const std::string& name, const std::string& target);
// A program folder: Kanopa.exe copied from beside the running test, with its data files.
void PrepareProgramFolder(const kanopa::testing::TempFolder& folder);

class EditorProcess : public kanopa::testing::RunningProgram {
public:
    using RunningProgram::RunningProgram;
    HWND WaitForMainWindow() const { return WaitForWindow(kMainWindowClass); }
    // A message box or common dialog (class "#32770"), optionally with this caption.
    HWND WaitForDialog(const wchar_t* title = nullptr) const { return WaitForWindow(L"#32770", title); }
};

// The message text of a message box.
std::wstring MessageBoxText(HWND box);
// Answers a message box or dialog and waits until it is gone.
bool Answer(HWND box, int button);

// Chooses `path` in an open or save common dialog and confirms it.
bool ChooseFileInDialog(HWND dialog, const std::wstring& path);
// The names of the dialog's file-type filters, in order.
std::wstring DialogFilters(HWND dialog);

// Posts a left click at (x, y) of `window`'s client area: press and release.
void PostClick(HWND window, int x, int y);

// Client rectangle of a child in its parent's client coordinates.
RECT ChildRect(HWND child);

// Posts a button's click to its dialog, as the button itself would.
void ClickButton(HWND dialog, int id);
// The control that has the keyboard focus in `window`'s thread.
HWND FocusOf(HWND window);
// A list box's entries, read from another process.
std::vector<std::wstring> ListBoxItems(HWND list);

// The message box titled `title` now shown (a failure when none comes): its text and
// icon, then answered.
struct MessageSeen {
    std::wstring text;
    UINT icon = 0;
};
MessageSeen TakeMessage(const EditorProcess& editor, const wchar_t* title, int answer = IDOK);

bool FileExists(const std::string& path);
std::string FileBytes(const std::string& path);
// A memo file as the core writes it: `record`, or the defaults holding `text`.
void WriteMemoFile(const std::string& path, MemoRecord record);
void WriteMemoFile(const std::string& path, const std::string& text);
// The memo in `path`, which must read back whole.
MemoRecord ReadMemoFile(const std::string& path);

}  // namespace kanopa::editor::win32::testing
