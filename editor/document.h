#pragma once
// The editor window as a document holder: New, Open, the recent files, Save As, Save
// selection as, overwrite save and the close. The memo record lives in EditorState;
// the window is reached only through EditorView. There is no modified flag: the editor
// never offers to save the memo, and New keeps the current file (an overwrite save
// after New writes the new memo into the last file).
//
// Saves and loads report their outcome: a refused or failed save leaves the current
// file, the status bar and the recent list as they were; a file that is not a complete
// memo is never shown (it is read into a copy that replaces the memo only when whole).
#include <string>

#include "common/clock.h"
#include "common/file_system.h"
#include "common/status.h"
#include "editor/editor_state.h"
#include "editor/editor_view.h"
#include "editor/preview_layout.h"

namespace kanopa::editor {

inline constexpr char kNewMemoQuestion[] = "現在編集中のメモは破棄されます。よろしいですか？";
inline constexpr char kFileMissingMessage[] = "指定のファイルが存在しません。";
inline constexpr char kMovedOrDeletedSuffix[] = "は移動又は削除されています。";
inline constexpr char kCloseQuestion[] = "カノパを終了します。よろしいですか？";
inline constexpr char kCloseCaption[] = "確認";
// After the path of a file that the Save dialog never asked about.
inline constexpr char kReplaceQuestionSuffix[] = "は既に存在します。上書きしますか？";
inline constexpr char kLoadFailedMessage[] = "メモファイルを読み込めませんでした。";
inline constexpr char kMemoExtension[] = ".epm";

// How OpenFile was reached: the Open dialog and recent-file items pass 0, the memo
// search passes 3 (its file is listed in the recent files with its path unchanged).
inline constexpr int kOpenModeNormal = 0;
inline constexpr int kOpenModeFromSearch = 3;

// A name from a file dialog: blanks trimmed at both ends, lower-cased (ASCII letters).
std::string NormalizeDialogPath(const std::string& chosen);
// A Save dialog name: normalised, trailing dots dropped (Windows drops them too), and
// ".epm" appended when the file name then has no "."; "" when there is no file name.
std::string NormalizeSavePath(const std::string& chosen);

class Document {
public:
    Document(EditorState& state, FileSystem& fs, const Clock& clock, EditorView& view,
             Preview& preview);

    // Window load: the start-up file (if any) is loaded, then every control follows
    // the record.
    void OnWindowLoad();

    void New();
    // An empty path shows the Open dialog. A named path must exist (else
    // "指定のファイルが存在しません。"). The dialog's path and mode 3 are added to the
    // recent files; a recent item (mode 0 with a path) does not move in the list.
    void OpenFile(const std::string& path, int openMode);
    // Recent-file menu item `index` (0-based); an item without an entry does nothing.
    void OpenRecent(int index);
    void AddRecentFile(const std::string& path);

    // `selection` is the edit box's selected text; "" saves the whole memo.
    void SaveAs(const std::string& selection);
    void SaveOverwrite();

    // Every way of closing the window asks first (caption "確認", No default). On Yes
    // Config.txt is written (a failure is shown, the close goes on), the end is logged,
    // and the result is true: the program ends. The memo itself is not saved.
    bool ConfirmClose();
    // Windows is ending the session: Config.txt is written without asking, as a Yes
    // to the closing question would.
    void SaveConfigForSessionEnd();

    // Brings the layout controls and the preview in line with the record.
    void RefreshFromRecord();

private:
    bool LoadInto(const std::string& path);  // true when the memo was replaced
    bool WriteMemo(const std::string& path); // commits edit box and geometry, saves
    Status WriteConfig();
    void ShowCurrentPath();

    EditorState& m_state;
    FileSystem& m_fs;
    const Clock& m_clock;
    EditorView& m_view;
    Preview& m_preview;
};

}  // namespace kanopa::editor
