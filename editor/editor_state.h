#pragma once
// Everything the editor keeps for its run, in one owned object: the memo being edited
// (also the carrier of the configuration), the current file, the recent files, the
// file named on the command line and the program's context. Nothing here is saved
// except through the configuration file at the close.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/memo_record.h"
#include "common/program_context.h"
#include "editor/editor_view.h"

namespace kanopa::editor {

// The recently used files, newest first, at most five, kept only for the run. A path
// added again is listed again: there is no duplicate test.
class RecentFiles {
public:
    void Add(const std::string& path);
    const std::deque<std::string>& Entries() const { return m_entries; }
    // The five menu items: with no entry the first reads "なし" and is disabled; with n
    // entries items 1..n show them (enabled, visible) and the rest are hidden.
    RecentMenu MenuItems() const;
    // The path behind menu item `index` (0-based); "" for an item without an entry.
    std::string PathAt(int index) const;

private:
    std::deque<std::string> m_entries;
};

// "&" doubled, so that a menu shows the text literally instead of an access key.
std::string EscapeMenuCaption(const std::string& text);

// One row of the memo search's list, its three columns kept apart, so that no character
// of a name or a memo text can move a piece into another column. The row shown when
// nothing matched has all three empty.
struct SearchRow {
    std::string name;    // the memo file's name
    std::string folder;  // its folder, ending in "\"
    std::string text;    // the memo text
    bool operator==(const SearchRow&) const = default;
};

// The search window's outer rectangle in twips of the screen.
struct TwipsRect {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipsRect&) const = default;
};

class EditorState {
public:
    EditorState(CommonContext context, MemoRecord memo, std::string startupFilePath);

    MemoRecord& Memo() { return m_memo; }
    const MemoRecord& Memo() const { return m_memo; }
    const CommonContext& Context() const { return m_context; }
    // Config.txt in the program folder.
    std::string ConfigPath() const;

    const std::string& CurrentFilePath() const { return m_currentFilePath; }
    void SetCurrentFilePath(std::string path) { m_currentFilePath = std::move(path); }
    RecentFiles& Recent() { return m_recentFiles; }
    const RecentFiles& Recent() const { return m_recentFiles; }
    // The memo file named on the command line, quotes removed; "" when none.
    const std::string& StartupFilePath() const { return m_startupFilePath; }

    // The memo search fills these; they live until the process ends and are never
    // saved. Nothing else reads or writes them.
    // The rows of the last search; none before the first search of the run.
    std::vector<SearchRow>& SearchRows() { return m_searchRows; }
    // 1-based row selected when the search window last closed; 0 = none.
    int& SearchSelectedIndex() { return m_searchSelectedIndex; }
    // Where the search window was when it last closed; none before its first close.
    std::optional<TwipsRect>& SearchWindow() { return m_searchWindowRect; }

private:
    CommonContext m_context;
    MemoRecord m_memo;
    std::string m_startupFilePath;
    std::string m_currentFilePath;
    RecentFiles m_recentFiles;
    std::vector<SearchRow> m_searchRows;
    int m_searchSelectedIndex = 0;
    std::optional<TwipsRect> m_searchWindowRect;
};

}  // namespace kanopa::editor
